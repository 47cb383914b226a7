#pragma once

#include <cstddef>
#include <filesystem>

namespace kestrel::setup::copy {

// How many temporary names a destination has: ".000" to ".999".
inline constexpr int kTemporaryNames = 1000;

// The name a new file is written under before it takes the destination's place: the
// destination's directory and base name (without extension) followed by "." and the number
// in three digits. The base name is shortened where the suffix would make the name longer
// than a file name or a Windows path may be, so a temporary name fits wherever the final one
// does. `windowsLength` is the length of the destination's Windows path.
std::filesystem::path temporaryName(const std::filesystem::path& destination,
                                    std::size_t windowsLength, int number);

}  // namespace kestrel::setup::copy
