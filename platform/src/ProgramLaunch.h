#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace kestrel::platform {

// Everything the child needs, computed before forking: after fork only async-signal-safe
// calls are allowed, so no allocation or lookup may happen there.
struct LaunchPlan {
    StartError error = StartError::None;
    std::filesystem::path executable;  // absolute
    std::vector<std::string> argv;
};

// Finds the program of the request and decides how it runs: native executables directly,
// PE files and batch files through wine.
LaunchPlan planLaunch(const StartRequest& request);

}  // namespace kestrel::platform
