#include "system/PrintOperations.h"

namespace kestrel::setup {

// Placeholder until printers are kept here.
platform::Expected<void, std::uint32_t> PrintOperations::run(commands::SystemCommand,
                                                             std::string_view) {
    return platform::unexpected(std::uint32_t{50});
}

}  // namespace kestrel::setup
