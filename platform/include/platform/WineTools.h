#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::platform {

// Whether Wine is installed: `wine` is on PATH.
bool wineInstalled();

struct WineToolResult {
    enum class Outcome { Finished, NotStarted, TimedOut } outcome = Outcome::NotStarted;
    int exitCode = -1;  // when Finished: the exit status, 128 + signal number when killed
    bool finished() const { return outcome == Outcome::Finished; }
};

// Runs one of Wine's programs (argv[0] without a slash is looked up on PATH: "wine",
// "wineboot", "wineserver"...) on `prefix` and waits at most `timeout`; a tool still running
// then is killed with its process group. The child gets WINEPREFIX, WINEDEBUG=-all (no
// debug noise) and no DISPLAY (no window); its standard output goes to `outputFile`, or
// like everything else it says to /dev/null.
WineToolResult runWineTool(const std::vector<std::string>& argv,
                           const std::filesystem::path& prefix, std::chrono::milliseconds timeout,
                           const std::filesystem::path& outputFile = {});

}  // namespace kestrel::platform
