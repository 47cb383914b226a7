#include "program/RestartDecision.h"

namespace kestrel::setup {

RestartKind neededRestart(const RunState& run, bool nt, int reboot) {
    bool windows = run.restartWindows;
    bool computer = run.restartComputer || (nt && run.restartWindows);
    if (reboot == 1) windows = computer = true;
    if (reboot == 2) windows = computer = false;
    if (computer) return RestartKind::Computer;
    return windows ? RestartKind::Windows : RestartKind::None;
}

bool restartsItself(const RunState& run, RestartKind decided, bool callerTold, int reboot) {
    if (decided == RestartKind::None || callerTold) return false;
    if ((run.extraFlags & extra::kCallerRestarts) != 0) return false;
    return !run.silent || reboot == 1;
}

}  // namespace kestrel::setup
