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

}  // namespace kestrel::setup::records
