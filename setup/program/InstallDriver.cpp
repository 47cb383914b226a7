#include "program/InstallDriver.h"

namespace kestrel::setup {

// Placeholder until the installation's work is driven here.
bool installProduct(SetupRun&) {
    return true;
}

}  // namespace kestrel::setup
