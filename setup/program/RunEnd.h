#pragma once

#include "program/SetupRun.h"

namespace kestrel::setup {

// A run that went well and needs a restart its caller makes (extra flag 8).
inline constexpr int kExitRestartByCaller = 6702;

// The end of a run whose script was loaded: the end message, the restart decision, hook
// event 5, the command list opened, the caller's notify window told, the machine root
// restarted. Returns the exit code: 0, 6702 (the caller restarts), -1 (failed or aborted,
// or a command list that could not be written).
int endRun(SetupRun& run);

// A run whose script could not be loaded: the notify window (/W) only gets its close request.
void endUnloadedRun(const RunState& run);

}  // namespace kestrel::setup
