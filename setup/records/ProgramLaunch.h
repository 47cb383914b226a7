// Starting the programs the records name (uninstallers, the installer itself).
#pragma once

#include <string_view>

#include "commands/ProgramStarter.h"
#include "ops/OperationContext.h"

namespace kestrel::setup::records {

// Starts the command (and waits for its end when asked); a program that cannot be started
// shows 5508 with the command and the system's error number. false then.
bool startProgram(OperationContext& context, commands::ProgramStarter& starter,
                  std::string_view command, bool wait);

// Runs one of the installer's own child runs (an uninstaller) and waits for it. The child
// gets a notify window (/W) to report its end to: a restart it decided becomes this run's,
// to be made at this run's end. Where no window can be made the child runs without one
// and restarts as a run of its own would. false as startProgram.
bool runChildInstaller(OperationContext& context, commands::ProgramStarter& starter,
                       std::string command);

}  // namespace kestrel::setup::records
