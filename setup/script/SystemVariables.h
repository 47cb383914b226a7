#pragma once

#include <ctime>

#include "platform/MachineRoot.h"
#include "script/BuiltinVariables.h"
#include "script/Settings.h"

namespace kestrel::setup {

// Fills the built-in variables that describe the machine root: Windows, System, the shell
// folders, WindowsName and WindowsVersion, SysDate and SysTime (of `start`), ComputerName...
// A "WindowsUser" in WIN.INI [SetupService] names the user the run works for; the per-user
// folders are then taken from that section.
void initialiseSystemVariables(BuiltinVariables& variables, const platform::MachineRoot& machine,
                               std::time_t start);

// What the settings change afterwards: Desktop, Programs, StartMenu and Startup become the
// all-users folders with CommonShellLinks, and the printing directories follow PrintServer
// and PrintEnvironment.
void applySettingsToVariables(BuiltinVariables& variables, const ApplicationSettings& settings,
                              const platform::MachineRoot& machine);

}  // namespace kestrel::setup
