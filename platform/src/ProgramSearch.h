#pragma once

#include <filesystem>
#include <string_view>

#include "platform/Process.h"

namespace kestrel::platform {

struct LocatedProgram {
    StartError error = StartError::None;
    std::filesystem::path path;  // absolute when found
};

// The program a request names: `application`, or argv[0] searched in the program directory,
// the current directory and PATH, or, for a name with a directory part, that directory only.
LocatedProgram locateProgram(const StartRequest& request, std::string_view programName);

// A host executable on PATH (for `wine`), exact name only.
std::optional<std::filesystem::path> findOnPath(std::string_view name);

}  // namespace kestrel::platform
