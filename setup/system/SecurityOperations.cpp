#include "system/SecurityOperations.h"

namespace kestrel::setup {

// Placeholder until the security commands are carried out here.
bool SecurityOperations::processSection(std::string_view, Direction) {
    return false;
}
bool SecurityOperations::runCommand(std::string_view, Direction) {
    return false;
}

}  // namespace kestrel::setup
