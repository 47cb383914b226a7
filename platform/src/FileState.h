// A file's or folder's state apart from its content, as a change journal keeps it: the mode,
// the times, and the user extended attributes (where Wine keeps DOS attributes and security
// descriptors), as texts of a record and back.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace kestrel::platform {

std::string modeText(const struct stat& status);
// Access and modification times, seconds and nanoseconds each.
std::string timesText(const struct stat& status);
// "name=hex" for each user.* attribute, separated by commas.
std::string xattrText(const std::filesystem::path& path);

// Puts them back; false with the reason when one cannot be.
bool restoreMode(const std::filesystem::path& path, std::string_view mode, std::string* why);
bool restoreTimes(const std::filesystem::path& path, std::string_view times, std::string* why);
// The user.* attributes become exactly the ones of the text.
bool restoreXattrs(const std::filesystem::path& path, std::string_view xattrs, std::string* why);

}  // namespace kestrel::platform
