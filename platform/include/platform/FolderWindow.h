#pragma once

#include <filesystem>
#include <string>

#include "platform/Expected.h"

namespace kestrel::platform {

// Opens a host folder in the desktop's file manager (xdg-open), without waiting for it.
// Fails, saying why, when there is no display to show it on or the opener cannot start.
Expected<void, std::string> openFolderWindow(const std::filesystem::path& folder);

}  // namespace kestrel::platform
