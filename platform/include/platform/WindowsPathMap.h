#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "platform/FolderNames.h"

namespace kestrel::platform {

// How Windows paths of a prefix meet host paths: through its drive links, each component
// found without regard to case (new ones kept as written), and back as `winepath -w` does.
// A prefix that has no drive links yet is seen through the drives a new one gets (C: on its
// drive_c, Z: on the host's root), so a run can find its files before it makes the prefix.
// Windows paths are text in `codePage` (what a program speaking bytes has), host paths UTF-8.
// With `folderNames`, the folders it looks in are listed once for all the maps sharing it;
// without, each lookup of a name that is not there as written lists its folder.
class WindowsPathMap {
  public:
    WindowsPathMap(std::filesystem::path prefix, const CodePage& codePage,
                   std::shared_ptr<FolderNames> folderNames = nullptr)
        : prefix_(std::move(prefix)), codePage_(&codePage), folderNames_(std::move(folderNames)) {}

    const CodePage& codePage() const { return *codePage_; }

    // The host file a Windows path names; nullopt for a drive without a link. A path
    // without drive lies on C:, a relative one below `base` (default C:\).
    std::optional<std::filesystem::path> hostPath(std::string_view windowsPath,
                                                  std::string_view base = {}) const;
    // A host path as Windows programs in the prefix see it: through the drive whose link
    // leads deepest into it, with Z: standing for /.
    std::string windowsPath(const std::filesystem::path& hostPath) const;
    // Every component in its 8.3 form.
    std::string shortPath(std::string_view windowsPath) const;

  private:
    std::filesystem::path prefix_;
    const CodePage* codePage_;
    std::shared_ptr<FolderNames> folderNames_;
};

}  // namespace kestrel::platform
