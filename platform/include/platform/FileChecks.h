#pragma once

#include <filesystem>

namespace kestrel::platform {

// What a path names, links followed. They never throw: a path that cannot be examined is
// neither.
bool isRegularFile(const std::filesystem::path& path);
bool isDirectory(const std::filesystem::path& path);

// A regular file this process may execute.
bool isExecutableFile(const std::filesystem::path& path);

}  // namespace kestrel::platform
