#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "components/ComponentSizes.h"
#include "ops/FileSection.h"
#include "script/BuiltinVariables.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

// What a work section is, told by its name: the part before the last colon (the whole name
// without one) names the operations it is handed to.
enum class WorkSectionKind {
    Odbc,       // "ODBC Core", "ODBC Driver", "ODBC Translator", "ODBC DSN", ...
    IpFiles,    // "IP Services", "IP Protocols", "IP Networks", "IP Hosts", "IP LMHosts"
    Security,   // "Security"
    ConfigSys,  // ...Config.sys
    Batch,      // ...Autoexec.bat, ....bat
    Ini,        // ....ini (Win.ini, System.ini among them)
    Registry,   // ....reg
    Progman,    // "Progman"
    Shell,      // "Shell"
    Plain,      // file lines, includes and commands
};
WorkSectionKind workSectionKind(std::string_view section);

// The section holding a component's work: its own, else with WILDCARD the section
// "[%Option%]"; nullopt when there is neither.
std::optional<std::string> workSectionOf(const ScriptText& script, const Component& component);

// Option (full name), OptionName (last part) and OptionText of the component.
void setOptionVariables(BuiltinVariables& variables, const Component& component);

// Own sizes read from the components' plain work sections by the file section reader,
// with the component's variables set while its section is read.
OwnSize workSectionSizes(FileSectionReader& sections, const ScriptText& script,
                         BuiltinVariables& variables);

}  // namespace kestrel::setup
