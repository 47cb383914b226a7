// Windows drives on Linux, as Wine keeps them: $WINEPREFIX (default ~/.wine) holds
// dosdevices/<letter>: links to the drives' directories, and dosdevices/unc/<server>/<share>
// is where Wine looks for network paths (\\server\share), so an administrator mounts or
// links shares there.
#pragma once

#include <filesystem>
#include <string>

namespace kestrel::rclog {

// The directory of the drive letter's link, "<prefix>/dosdevices/d:".
std::string driveLetterDirectory(char letter);

// The directory network paths are found under, "<prefix>/dosdevices/unc".
std::string networkPathRoot();

// The drive that holds `folder` (absolute, ending in '/'): the longest drive link, or the
// directory it points to, that `folder` lies in; "" when none does (the root drive).
std::string wineDriveHolding(const std::string& folder);

}  // namespace kestrel::rclog
