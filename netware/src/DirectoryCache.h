// The directory file behind its compiled store: the store in the user's cache folder is
// used while it was built from the file as it is now; otherwise the first process to see
// the change rebuilds it under a lock and renames it into place, so readers find the old
// store or the new one, never a half one. Without a usable cache folder the file is read
// into memory instead.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "DirectoryLoader.h"

namespace nw {

struct OpenedDirectory {
    std::shared_ptr<const Directory> directory;
    // Why the directory was read into memory instead of the store (empty when the store is
    // used): said once to the user.
    std::string notice;
};

// $XDG_CACHE_HOME/kestrel, default ~/.cache/kestrel.
std::filesystem::path storeCacheDir();
// The store that belongs to a directory file, named after its absolute path.
std::filesystem::path storeFileFor(const std::filesystem::path& directoryFile);

kestrel::platform::Expected<OpenedDirectory, LoadError> openDirectory(
    const std::filesystem::path& directoryFile);

}  // namespace nw
