// Before a workstation installation is removed: the other users, and this user's own part.
#pragma once

#include "commands/ProgramStarter.h"
#include "ops/OperationContext.h"
#include "records/RecordWriter.h"

namespace kestrel::setup::records {

// How many users other than this run's (WindowsUser) have a part of the workstation
// installation (values under Setup\Users).
int otherUsers(const OperationContext& context);

// Unless silent, message 5563 asks when other users still use the application: No gives
// false (the uninstallation does not happen). Then this user's own part, when there is one,
// is removed first by the installer itself ("installer" "script" /U /S, with /X2 when this
// run has extra flag 2), waited for as a child run.
bool prepareWorkstationUninstall(OperationContext& context, commands::ProgramStarter& starter,
                                 const InstallerProgram& installer);

}  // namespace kestrel::setup::records
