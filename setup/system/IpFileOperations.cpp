#include "system/IpFileOperations.h"

namespace kestrel::setup {

// Placeholder until these sections are processed here.
bool IpFileOperations::processSection(std::string_view, Direction) {
    return false;
}

}  // namespace kestrel::setup
