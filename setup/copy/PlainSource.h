#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "copy/DataSink.h"
#include "copy/SourceError.h"

namespace kestrel::setup::copy {

// The block size of a copy: what one read passes to the sink.
inline constexpr std::size_t kCopyBlockSize = 30720;

// Whether `file` is there as a regular file: Missing when nothing is there, Unreadable when
// something else (a directory) stands in its place.
[[nodiscard]] SourceResult<std::uint64_t> plainFileSize(const std::filesystem::path& file);

// Passes the file's bytes to `sink` in blocks of kCopyBlockSize; gives the number passed.
[[nodiscard]] SourceResult<std::uint64_t> readPlainFile(const std::filesystem::path& file,
                                                        DataSink& sink);

}  // namespace kestrel::setup::copy
