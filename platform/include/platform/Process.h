#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

enum class StartError { None, FileNotFound, PathNotFound, AccessDenied, BadFormat, OutOfResources };

// What CreateProcess gets: a Windows command line and optionally the program to run.
// Members default to empty, so callers may name only what they need: {"prog /x"}.
struct StartRequest {
    std::string commandLine;
    // The program itself; no search except relative to the current directory. When empty the
    // program is argv[0] of the command line, searched for like Windows does (see findProgram).
    std::optional<std::filesystem::path> application{};
    // The child's current directory (default: ours).
    std::optional<std::filesystem::path> workingDirectory{};
    // The calling program's own directory, searched first (default: the running executable's).
    std::optional<std::filesystem::path> programDirectory{};
    // "NAME=value" entries the child gets on top of our environment, replacing a variable of
    // the same name.
    std::vector<std::string> environment{};
};

// Starts the program without waiting for it. The child receives argv as the Microsoft C
// runtime would split the command line; a Windows program (PE file or batch file) runs
// through `wine` when that is on PATH, otherwise the result is BadFormat. Exec failures are
// reported here, and the child never becomes our zombie. The child inherits the environment,
// standard input/output/error and no other descriptor.
StartError startProgram(const StartRequest& request);

// Why a start failed, in words for a message ("the program file was not found"); empty for
// StartError::None.
std::string_view startErrorText(StartError error);

struct RunResult {
    StartError error;
    int exitCode;  // the exit status, 128 + signal number when killed; -1 when not started
};

// Starts the program and waits until it ends. `whileWaiting`, when given, is called every
// 50 ms meanwhile, so that a caller's windows stay painted during a long wait.
RunResult runProgram(const StartRequest& request, const std::function<void()>& whileWaiting = {});

// The Windows lookup of a program name: in each directory in order, the exact name first,
// then a case-insensitive (ASCII) match of the file name; a name without extension then
// tries name + ".exe" the same way. Only non-directory files match. A name with a directory
// part is looked up under each directory.
std::optional<std::filesystem::path> findProgram(
    std::string_view name, const std::vector<std::filesystem::path>& directories);

}  // namespace kestrel::platform
