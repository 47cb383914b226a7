// Removing an earlier version of the product before a new one is installed.
#pragma once

#include "commands/ProgramStarter.h"
#include "ops/OperationContext.h"
#include "records/InstalledVersions.h"

namespace kestrel::setup::records {

// Whether this run may replace an earlier version: a plain installation (no administrator,
// per-user part, repeat, maintenance, service release or uninstallation)
// of a script with AskUninstallOld on.
bool offersEarlierVersionRemoval(const OperationContext& context);

// The earlier version's uninstall command (its Setup key's UninstallString, else the one in
// the script's entry of the list of installed programs) with /X2 (no end message in the
// child), /S<level> in a silent run and /AW in a workstation installation, started and
// waited for as a child run (a restart it decides becomes this run's). No command: nothing happens.
// false when it could not be started (5508 shown).
bool removeEarlierVersion(OperationContext& context, commands::ProgramStarter& starter,
                          const RegisteredVersion& earlier);

// Finds an earlier version and, when the run offers it, removes it: silent runs at once,
// others after message 5550 answered Yes.
void offerEarlierVersionRemoval(OperationContext& context, commands::ProgramStarter& starter);

}  // namespace kestrel::setup::records
