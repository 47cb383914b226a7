// Whether two paths are the same program: the same file (through links or hard links), or
// a copy of it.
#pragma once

#include <filesystem>

namespace kestrel::rclog {

// Both name one file on disk; false when either cannot be examined.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Both are readable regular files with the same bytes.
bool sameContent(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace kestrel::rclog
