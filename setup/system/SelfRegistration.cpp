#include "system/SelfRegistration.h"

namespace kestrel::setup {

// Placeholder until files are registered here.
bool SelfRegistration::registerFile(const copy::InstalledFile&) {
    return true;
}
bool SelfRegistration::unregisterFile(const copy::InstalledFile&) {
    return true;
}

}  // namespace kestrel::setup
