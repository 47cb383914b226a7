#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ProfileDocument.h"

namespace kestrel::platform {

// The Windows profile functions for any INI file path (see ProfileDocument for the rules).
// A missing or unreadable file reads as empty.

// The key's value, or `defaultValue` without its trailing blanks when the section or key is
// missing; either is cut to bufferSize - 1 bytes (bufferSize 0 gives "").
std::string getProfileString(const std::filesystem::path& file, std::string_view section,
                             std::string_view key, std::string_view defaultValue,
                             std::size_t bufferSize);

// The value's leading decimal number, as GetPrivateProfileInt reads it: an optional sign, then
// digits up to the first other character, modulo 2^32 ("-1" gives 4294967295, "42A" 42, "B4"
// 0). A missing key or empty value gives defaultValue.
unsigned getProfileInt(const std::filesystem::path& file, std::string_view section,
                       std::string_view key, int defaultValue);

std::vector<std::string> getProfileSectionNames(const std::filesystem::path& file);
std::vector<std::string> getProfileKeys(const std::filesystem::path& file,
                                        std::string_view section);

// Applies `edit` to the file's document under the lock of its folder (FileLock::onFolderOf:
// no file is left beside it) and replaces the file atomically
// when the content changed. The file and its directory are created when missing. Returns false
// when `edit` returns false (nothing is written) or on an I/O failure; an existing file that
// cannot be read is never overwritten. A new file gets `newFilePermissions` (see
// writeFileAtomically).
bool editProfile(const std::filesystem::path& file,
                 const std::function<bool(ProfileDocument&)>& edit,
                 std::optional<std::filesystem::perms> newFilePermissions = std::nullopt);

// Sets the key, or deletes it when value is nullopt (deleting from a missing file or section
// succeeds and creates nothing).
bool writeProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::optional<std::string_view> value);

bool deleteProfileSection(const std::filesystem::path& file, std::string_view section);

}  // namespace kestrel::platform
