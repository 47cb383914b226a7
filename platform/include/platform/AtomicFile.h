#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace kestrel::platform {

// The whole content of a regular file; nullopt when it is missing, unreadable or not a
// regular file (a FIFO or device is refused rather than blocking).
std::optional<std::string> readWholeFile(const std::filesystem::path& file);

// Replaces `target` so that readers see either the old or the new content, never a mix:
// a temporary file in the same directory is written, fsynced and renamed over the target.
// An existing target keeps its permission bits (and, where allowed, its owner); a new file
// gets `newFilePermissions` exactly (default 0644, not masked by the umask). When `target`
// is a symbolic link, the file it points to is replaced and the link stays.
std::error_code writeFileAtomically(
    const std::filesystem::path& target, std::string_view content,
    std::optional<std::filesystem::perms> newFilePermissions = std::nullopt);

}  // namespace kestrel::platform
