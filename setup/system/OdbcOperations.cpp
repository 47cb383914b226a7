#include "system/OdbcOperations.h"

namespace kestrel::setup {

// Placeholder until these sections are processed here.
bool OdbcOperations::processSection(std::string_view, Direction) {
    return false;
}

}  // namespace kestrel::setup
