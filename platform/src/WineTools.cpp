#include "platform/WineTools.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "ProgramSearch.h"

extern char** environ;

namespace kestrel::platform {

namespace {

// Our environment with the variables that point Wine at the prefix and keep it quiet.
std::vector<std::string> wineEnvironment(const std::filesystem::path& prefix) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        if (text.starts_with("WINEPREFIX=") || text.starts_with("WINEDEBUG=") ||
            text.starts_with("DISPLAY=") || text.starts_with("WAYLAND_DISPLAY=")) {
            continue;
        }
        entries.emplace_back(text);
    }
    entries.push_back("WINEPREFIX=" + prefix.string());
    entries.push_back("WINEDEBUG=-all");
    return entries;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

int exitStatus(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

bool wineInstalled() {
    return findOnPath("wine").has_value();
}

WineToolResult runWineTool(const std::vector<std::string>& argv,
                           const std::filesystem::path& prefix, std::chrono::milliseconds timeout,
                           const std::filesystem::path& outputFile) {
    if (argv.empty()) return {};
    const auto program = argv.front().find('/') != std::string::npos
                             ? std::optional<std::filesystem::path>(argv.front())
                             : findOnPath(argv.front());
    if (!program) return {};
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = wineEnvironment(prefix);
    std::vector<char*> argvPointers = pointers(arguments);
    std::vector<char*> envPointers = pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const std::string output = outputFile.empty() ? "/dev/null" : outputFile.string();
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, so a tool that hangs goes with everything it started.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program->c_str(), &actions, &attributes,
                                      argvPointers.data(), envPointers.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {};

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (true) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return {WineToolResult::Outcome::Finished, exitStatus(status)};
        if (done < 0 && errno != EINTR) return {WineToolResult::Outcome::Finished, -1};
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(-pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {WineToolResult::Outcome::TimedOut, -1};
}

}  // namespace kestrel::platform
