#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/MachineRoot.h"

namespace kestrel::platform {

// Where a Windows program in the root finds a program or library by its bare name, in the
// loader's order: the application's directory (when given), the system directory, the
// 16-bit system directory, the Windows directory, the current directory (when given), then
// each directory of the root's PATH (the Session Manager's Environment value, expanded).
// Names and directories are Windows paths in the root's code page; the result is the
// Windows path of the file found, nullopt when there is none. A name with a directory part
// is only looked for there.
std::optional<std::string> findOnRootSearchPath(const MachineRoot& root, std::string_view name,
                                                std::string_view applicationDirectory = {},
                                                std::string_view currentDirectory = {});

}  // namespace kestrel::platform
