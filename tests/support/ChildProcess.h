// Programs the tests start and wait for with a time limit, so a stuck helper fails its test
// instead of hanging the run. Children die with the test process (a crashed test leaves no
// server behind) and write their standard output and error into a log file.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Expected.h"

namespace kestrel::test {

// Starts argv[0] (a path, not searched) with stdin from /dev/null; -1 when it could not be.
pid_t spawnChild(const std::vector<std::string>& argv, const std::filesystem::path& log);

// The exit status (128 + signal when killed) once the child ended within `limit`, else
// nullopt and the child still runs.
std::optional<int> waitChild(pid_t pid, std::chrono::milliseconds limit);

// SIGTERM, SIGKILL when it has not ended after `grace`; the child is reaped either way.
void endChild(pid_t pid, std::chrono::milliseconds grace = std::chrono::seconds(10));

// Runs to the end within `limit`; the error names the program, why it failed and its log.
platform::Expected<void, std::string> runChild(const std::vector<std::string>& argv,
                                               const std::filesystem::path& log,
                                               std::chrono::milliseconds limit);

}  // namespace kestrel::test
