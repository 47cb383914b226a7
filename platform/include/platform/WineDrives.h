// Windows drives on Linux, as Wine keeps them: a prefix ($WINEPREFIX, default ~/.wine) holds
// dosdevices/<letter>: links to the drives' folders, and dosdevices/unc/<server>/<share> is
// where Wine looks for network paths (\\server\share), so an administrator mounts or links
// shares there.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/Places.h"

namespace kestrel::platform {

struct WineDrive {
    char letter = 'C';             // upper case
    std::filesystem::path link;    // <prefix>/dosdevices/c:
    std::filesystem::path folder;  // where the link leads, every link resolved; empty if nowhere
};

class WineDrives {
  public:
    explicit WineDrives(std::filesystem::path prefix = winePrefix());

    const std::filesystem::path& prefix() const { return prefix_; }
    // The folder of the drive links, "<prefix>/dosdevices".
    std::filesystem::path dosdevices() const { return prefix_ / "dosdevices"; }

    // The drive letter's link, "<prefix>/dosdevices/d:", for a letter in either case.
    std::filesystem::path driveLink(char letter) const;
    // The folder network paths are found under, "<prefix>/dosdevices/unc".
    std::filesystem::path uncFolder() const;

    // Every "<letter>:" link in dosdevices, by letter.
    std::vector<WineDrive> drives() const;
    // Gives dosdevices (which must exist) the drives of a new prefix where they are missing:
    // C: on ../drive_c and Z: on the host's root. Existing links stay as they are.
    std::error_code createDefaultDrives() const;

    // A host path as Windows programs in the prefix see it, as `winepath -w` gives it: made
    // absolute with its links resolved, then through the drive whose folder holds it deepest
    // (on a tie the first letter), "\\?\unix" in front when no drive holds it:
    // "<prefix>/drive_c/x" -> "C:\\x", "/usr/share" -> "Z:\\usr\\share".
    std::string windowsPath(const std::filesystem::path& hostPath) const;

    // The drive holding `folder` (absolute, ending in '/', links not resolved), as the host
    // folder it is reached through: the longest drive link, or folder a link leads to, that
    // `folder` lies in; "" when none does but the root (Z:, the whole file system).
    std::string driveHolding(std::string_view folder) const;

    // The folder a drive of a new prefix leads to (C: its drive_c, Z: the host's root), for
    // a prefix whose drive links are not made yet; empty for any other letter.
    std::filesystem::path defaultDriveFolder(char letter) const;

  private:
    std::filesystem::path prefix_;
};

// A host path as Windows programs see it through the default drives of the prefix
// (default $WINEPREFIX, else ~/.wine), whether or not the prefix exists: made absolute and
// normalised (links kept), then "C:" for what lies below <prefix>/drive_c and "Z:" (the
// host's root) for everything else, with backslashes: "/home/me/x" -> "Z:\\home\\me\\x".
// Empty for an empty path.
std::string windowsPathOf(const std::filesystem::path& hostPath,
                          const std::filesystem::path& prefix = winePrefix());

}  // namespace kestrel::platform
