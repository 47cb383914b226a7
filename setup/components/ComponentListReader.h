#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "components/ComponentList.h"
#include "platform/Expected.h"
#include "script/BuiltinVariables.h"
#include "script/Expander.h"
#include "script/ScriptText.h"
#include "script/Settings.h"

namespace kestrel::setup {

// What of the run decides how the component sections are read.
struct ComponentReading {
    std::uint32_t scriptVersion = 0x510;  // the icon field comes with 5.10
    bool clientRun = false;               // unknown dependency names are not worth a word
    bool readGroups = true;               // neither administrator nor workstation installation
};

// An entry of [Icons] that components name: its key and its picture file (expanded).
struct IconEntry {
    std::string name;
    std::string picture;
};
std::vector<IconEntry> readIconEntries(const ScriptText& script, const Expander& expander);

// Reads [Copy] (flagged COPYALWAYS), then [Options], then [OptionDependencies] and
// [OptionGroups]. Option, OptionName and OptionText hold each component's values while its
// line is read. A parent listed after its child (5533) and an unknown flag word (5530) end
// the reading; unknown names in dependency and group lines are passed to `warn` (5529) and
// skipped. Dependencies that lead round in a circle are kept: selecting follows them once.
platform::Expected<ComponentList, ScriptProblem> readComponentList(
    const ScriptText& script, BuiltinVariables& variables, const Expander& expander,
    const ComponentReading& reading, const std::function<void(const ScriptProblem&)>& warn);

}  // namespace kestrel::setup
