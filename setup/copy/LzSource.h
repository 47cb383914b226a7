#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "copy/DataSink.h"
#include "copy/SourceError.h"

namespace kestrel::setup::copy {

// What a file read through LZ expansion gives.
struct LzExpansion {
    bool compressed = false;          // an LZ (SZDD) file; otherwise it passes as it is
    std::uint64_t length = 0;         // the expanded size
    std::optional<char> missingChar;  // the original name's last character, when recorded
};

// The header only: whether the file is compressed and how long its content is.
[[nodiscard]] SourceResult<LzExpansion> inspectLzFile(const std::filesystem::path& source);

// Passes the expanded content of `source` to `sink`. A file that is not LZ-compressed is
// passed as it is, as Windows' LZ functions do. A compressed file whose content ends before
// the size its header records fails as truncated.
[[nodiscard]] SourceResult<LzExpansion> readLzFile(const std::filesystem::path& source,
                                                   DataSink& sink);

// The name a compressed file had before compression: "FOO.DL_" with the recorded 'L' is
// "FOO.DLL". A name not ending in '_', or no recorded character, stays as it is.
std::string lzOriginalName(std::string_view compressedName, std::optional<char> missingChar);

}  // namespace kestrel::setup::copy
