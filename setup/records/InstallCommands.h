// The commands recorded for an installation: the uninstall command that removes it and the
// reinstall command that brings up its maintenance pages again.
#pragma once

#include <string>
#include <string_view>

#include "ops/OperationContext.h"

namespace kestrel::setup::records {

struct InstallCommands {
    std::string uninstall;
    std::string reinstall;
};

// The commands as the script gives them (`uninstall`, `reinstall`: [Application], or [Admin]
// in an administrator copy), expanded; an empty one is the installer copied into the Windows
// directory as _UnInst.exe (quoted on Windows 4.0 and later) with the installed script,
// App + SetupInfDir + the script's file name, in quotes, and " /U" for the uninstall command.
// Parent steps ("\..") are folded and " /X4" ends the reinstall command, so that a run it
// starts knows where it came from. The variables UninstallString and ReinstallString are
// set to the results.
InstallCommands composeInstallCommands(OperationContext& context, std::string_view uninstall,
                                       std::string_view reinstall);

// Each backslash followed by two points, with the directory before it, taken out of the
// text ("C:\A\B\..\x" gives "C:\A\x"); a drive, a quoted start or a ".." before it stays.
std::string foldParentSteps(std::string_view text);

}  // namespace kestrel::setup::records
