#pragma once

#include <filesystem>
#include <functional>

#include "platform/MachineRoot.h"

namespace kestrel::setup {

// Runs `change` on a file with its read-only attribute cleared, as a Windows program must
// before it writes, and puts every attribute back afterwards: hidden, system and archive
// too, which a file replaced through a temporary copy would otherwise lose. A file that is
// not there is just changed. false when the attribute cannot be cleared or put back, or
// when `change` fails.
bool changeKeepingAttributes(const std::filesystem::path& file,
                             const std::function<bool()>& change);

// Removes `folder` and then each parent in turn while it is empty, within drive C: of the
// root and never the drive itself nor the system's own folders (Windows, its system folder,
// Program Files and its Common Files, the users' folders).
void removeEmptyFolders(const platform::MachineRoot& machine, std::filesystem::path folder);

}  // namespace kestrel::setup
