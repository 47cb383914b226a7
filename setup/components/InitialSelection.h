#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "components/ComponentList.h"
#include "script/RegistryReader.h"
#include "script/RunState.h"

namespace kestrel::setup {

// Reads the recorded value of a component under Software\<MachineKeyName>\Setup\Options;
// nullopt when there is none.
using RecordedOption = std::function<std::optional<std::string>(std::string_view component)>;

// How the run starts its selection.
struct SelectionStart {
    // Administrator, workstation and client runs that do not ask for components install
    // every one.
    bool everything = false;
    // Uninstallation, repeat and maintenance: what the installation recorded decides.
    RecordedOption recorded;
    // A per-user part: what the machine's part recorded decides.
    RecordedOption machineRecorded;
};

// From the run's kind. `askOptions` is the AskOptions of the run's kind; the records are read
// through `registry` (HKLM, or the user's hive in a per-user part) when `machineKeyName` is
// set.
SelectionStart selectionStartOf(const RunState& run, bool askOptions,
                                const std::string& machineKeyName, const RegistryReader& registry);

// Selects DEFAULT and COPYALWAYS components (every one when `start.everything`); recorded
// components: the value 1 sets DEFAULT and the installed mark, anything else clears DEFAULT
// and COPYALWAYS; in a per-user part a component the machine did not record as 1 is
// deselected and hidden. Then dependencies and groups (settleDependenciesAndGroups).
void applyInitialSelection(ComponentList& list, const SelectionStart& start);

}  // namespace kestrel::setup
