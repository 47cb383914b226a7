#include "program/RunKind.h"

namespace kestrel::setup {

// Placeholder until the run's kind is decided here.
bool decideRunKind(SetupRun&) {
    return true;
}
bool prepareRun(SetupRun&) {
    return true;
}

}  // namespace kestrel::setup
