#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::setup::test {

// The installer's exit code -1 as a parent process sees it.
constexpr int kSetupFailed = 255;

struct SetupOutcome {
    int exitCode = -1;   // the exit status; -1 when it did not end in time or did not start
    std::string output;  // standard output and error together
};

// Runs the real `setup` program as a user runs it in a terminal without a display (the
// console front end), on the Wine prefix `prefix`, from `directory`, with `pathFirst` in
// front of PATH (for stand-ins of the desktop's programs). Killed after `timeout` seconds.
SetupOutcome runSetupProgram(const std::filesystem::path& prefix,
                             const std::vector<std::string>& arguments,
                             const std::filesystem::path& directory,
                             const std::filesystem::path& pathFirst, int timeout = 600);

}  // namespace kestrel::setup::test
