#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace kestrel::platform {

// Looks up one entry (e.g. "XDG_DESKTOP_DIR") in the text of a user-dirs.dirs file, in the
// shell-like form xdg-user-dirs writes: NAME="$HOME/sub" or NAME="/absolute". Other forms are
// ignored, as xdg-user-dir does.
std::optional<std::filesystem::path> lookupUserDir(std::string_view fileText, std::string_view name,
                                                   const std::filesystem::path& home);

}  // namespace kestrel::platform
