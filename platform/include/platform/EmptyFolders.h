#pragma once

#include <filesystem>
#include <vector>

namespace kestrel::platform {

// Removes `folder` when it is empty, then its parents in turn while they are empty. Stops at
// the first folder that holds anything, is a symbolic link (a drive link of a machine root),
// or is one of `kept` (compared as the same folder on disk, however it is reached): those
// stay whatever they hold. Removing is tidying up: a folder that cannot be removed ends it.
void removeEmptyFolders(const std::filesystem::path& folder,
                        const std::vector<std::filesystem::path>& kept);

}  // namespace kestrel::platform
