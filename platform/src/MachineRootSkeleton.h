#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/MachineRoot.h"
#include "platform/Registry.h"

namespace kestrel::platform {

// Makes the prefix with Wine itself (wineboot --init) and waits for its server to end;
// the reason when that failed.
std::optional<std::string> makePrefixWithWine(const std::filesystem::path& prefix,
                                              const std::filesystem::path& serverDirectory);

// Creates the folders and drive links of the prefix that are missing; never touches what
// exists.
std::error_code createSkeletonFolders(const std::filesystem::path& prefix,
                                      const std::string& userName,
                                      WindowsArchitecture architecture);

// What Wine makes on this host: win64 on 64-bit hosts, as Wine does by default, else win32.
WindowsArchitecture hostWindowsArchitecture();

// Writes the hive files that are missing, empty but with the header Wine gives them (the
// architecture in "#arch="), so the registry keeps that header when it saves.
std::error_code createSkeletonHives(const std::filesystem::path& prefix,
                                    WindowsArchitecture architecture);

// The keys of a new registry (only for a prefix that has no system hive yet); the first
// Windows error code a call gave, 0 when all went in.
long fillDefaultRegistry(Registry& registry, const std::string& userName,
                         const std::string& computerName, WindowsArchitecture architecture);

}  // namespace kestrel::platform
