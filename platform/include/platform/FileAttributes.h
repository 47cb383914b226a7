#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/Expected.h"

namespace kestrel::platform {

// The DOS attribute bits of a file, as Windows programs see them.
namespace dosattr {
inline constexpr std::uint32_t kReadOnly = 0x01;
inline constexpr std::uint32_t kHidden = 0x02;
inline constexpr std::uint32_t kSystem = 0x04;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
}  // namespace dosattr

// A file's DOS attributes kept the way Wine keeps them, so Windows programs in the machine
// root see what the installer set: read-only is the absence of every write bit; hidden,
// system and archive live in the extended attribute user.DOSATTRIB ("0x%x"). A directory
// reports kDirectory, a file without any other bit kNormal.
std::uint32_t fileAttributes(const std::filesystem::path& path);

// Sets read-only (clearing it gives the owner write access back) and the extended attribute.
// A file system without user extended attributes keeps read-only only; that is no failure,
// as Wine then reports the file the same way.
[[nodiscard]] Expected<void, std::string> setFileAttributes(const std::filesystem::path& path,
                                                            std::uint32_t attributes);

}  // namespace kestrel::platform
