#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/Registry.h"

namespace kestrel::platform {

// Creates the folders and drive links of the prefix that are missing; never touches what
// exists.
std::error_code createSkeletonFolders(const std::filesystem::path& prefix,
                                      const std::string& userName);

// The keys of a new registry (only for a prefix that has no system hive yet); the first
// Windows error code a call gave, 0 when all went in.
long fillDefaultRegistry(Registry& registry, const std::string& userName,
                         const std::string& computerName);

}  // namespace kestrel::platform
