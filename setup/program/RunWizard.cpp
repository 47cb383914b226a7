#include "program/RunWizard.h"

namespace kestrel::setup {

// Placeholder until the wizard runs here.
bool runWizard(SetupRun&) {
    return true;
}

}  // namespace kestrel::setup
