#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::platform {

// Whether Wine is installed: `wine` is on PATH.
bool wineInstalled();

// The registry helper kestrel-registry.exe (see MachineRootOptions::registryHelper) that
// comes with a program in `programDirectory` (platform::programDirectory(), which /proc
// tells): in lib/ beside it in a build tree, in lib/kestrel/ where it is installed. Empty
// when neither has it.
std::filesystem::path registryHelperFor(const std::filesystem::path& programDirectory);

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

// A Wine program that talks with us while it runs, started as runWineTool starts the tools
// (own process group, quiet, no display): its standard input and output are pipes to us,
// close-on-exec on our side. The caller closes them and reaps the process.
struct WineConversation {
    pid_t pid = -1;
    int input = -1;   // we write, it reads
    int output = -1;  // it writes, we read
    int errors = -1;  // its standard error, a file without a name (-1: none could be made)
};
// The end of what a conversation's program wrote to its standard error, on one line.
std::string lastErrorWords(int errors);
std::optional<WineConversation> startWineConversation(const std::vector<std::string>& argv,
                                                      const std::filesystem::path& prefix);

}  // namespace kestrel::platform
