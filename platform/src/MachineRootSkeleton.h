#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/Registry.h"

namespace kestrel::platform {

// Makes the prefix with Wine itself (wineboot --init) and waits for its server to end;
// the reason when that failed.
std::optional<std::string> makePrefixWithWine(const std::filesystem::path& prefix,
                                              const std::filesystem::path& serverDirectory);

// Creates the folders and drive links of the prefix that are missing; never touches what
// exists.
std::error_code createSkeletonFolders(const std::filesystem::path& prefix,
                                      const std::string& userName);

// Wine's architecture for prefixes on this host: "win64" on 64-bit hosts, as Wine makes
// them by default there, else "win32".
std::string_view hostWindowsArchitecture();

// Writes the hive files that are missing, empty but with the header Wine gives them (the
// host's architecture in "#arch="), so the registry keeps that header when it saves.
std::error_code createSkeletonHives(const std::filesystem::path& prefix);

// The keys of a new registry (only for a prefix that has no system hive yet); the first
// Windows error code a call gave, 0 when all went in.
long fillDefaultRegistry(Registry& registry, const std::string& userName,
                         const std::string& computerName);

}  // namespace kestrel::platform
