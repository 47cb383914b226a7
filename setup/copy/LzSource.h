#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "copy/SourceError.h"

namespace kestrel::setup::copy {

// What an LZ-compressed (SZDD) file says about its content.
struct LzExpansion {
    std::uint32_t length = 0;         // the expanded size
    std::optional<char> missingChar;  // the original name's last character, when recorded
};

// Expands the compressed file `source` to `target`; on failure nothing is left under the
// target's name.
[[nodiscard]] SourceResult<LzExpansion> expandLzFile(const std::filesystem::path& source,
                                                     const std::filesystem::path& target);

// The name a compressed file had before compression: "FOO.DL_" with the recorded 'L' is
// "FOO.DLL". A name not ending in '_', or no recorded character, stays as it is.
std::string lzOriginalName(std::string_view compressedName, std::optional<char> missingChar);

}  // namespace kestrel::setup::copy
