#pragma once

#include <filesystem>

namespace kestrel::platform {

// Whether some process holds the file open or mapped, found as fuser finds it: through every
// /proc/<pid>/fd and /proc/<pid>/maps this user may read (processes it may not read are
// passed over, as they are by fuser without privileges). Our own process counts too: a file
// the installer itself holds cannot be replaced under it either. A missing file is not in use.
bool fileInUse(const std::filesystem::path& file);

}  // namespace kestrel::platform
