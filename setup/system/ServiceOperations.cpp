#include "system/ServiceOperations.h"

namespace kestrel::setup {

// Placeholder until services are kept here.
platform::Expected<void, std::uint32_t> ServiceOperations::run(commands::SystemCommand,
                                                               std::string_view) {
    return platform::unexpected(std::uint32_t{50});
}
bool ServiceOperations::installService(const copy::InstalledFile&) {
    return true;
}
bool ServiceOperations::removeService(const copy::InstalledFile&) {
    return true;
}

}  // namespace kestrel::setup
