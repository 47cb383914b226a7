#pragma once

#include "program/NotifyWindow.h"
#include "script/RunState.h"

namespace kestrel::setup {

// The restart a finished run needs, from the flags its operations set: on NT systems a
// restart of Windows is one of the computer; [Application] Reboot=1 forces it, Reboot=2
// rules it out. A restart of the computer wins over one of Windows.
RestartKind neededRestart(const RunState& run, bool nt, int reboot);

// Whether step 24 restarts (or hands the restart over through WIN.INI) itself: a restart was
// decided, no caller takes it (extra flag 8, or a notify window that was told), and the run
// is not silent unless Reboot=1 asks for it.
bool restartsItself(const RunState& run, RestartKind decided, bool callerTold, int reboot);

}  // namespace kestrel::setup
