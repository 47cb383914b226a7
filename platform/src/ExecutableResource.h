#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Expected.h"

namespace kestrel::platform::detail {

// The bytes of a resource found in a Windows executable, and whether the file is the 16-bit
// kind (NE), whose resources use single-byte text.
struct ExecutableResource {
    std::vector<std::byte> bytes;
    bool wide = true;
};

// The first resource of that numeric type (first name, first language) in a PE or NE file,
// or why there is none. Every offset and size read from the file is checked against it.
Expected<ExecutableResource, std::string> readExecutableResource(const std::filesystem::path& file,
                                                                 unsigned type);

}  // namespace kestrel::platform::detail
