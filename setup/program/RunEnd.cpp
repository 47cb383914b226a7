#include "program/RunEnd.h"

namespace kestrel::setup {

// Placeholder until the end of the run is handled here.
int endRun(SetupRun& run) {
    return run.failed || run.session.run().abort ? -1 : 0;
}
void endUnloadedRun(const RunState&) {}

}  // namespace kestrel::setup
