#pragma once

#include "program/SetupRun.h"

namespace kestrel::setup {

// The end of a run whose script was loaded: the end message, the restart decision, hook
// event 5, the command list opened, the caller's notify window told, the machine root
// restarted. Returns the exit code: 0, 6702 (the caller restarts), -1 (failed or aborted).
int endRun(SetupRun& run);

// A run whose script could not be loaded: the notify window (/W) only gets its close request.
void endUnloadedRun(const RunState& run);

}  // namespace kestrel::setup
