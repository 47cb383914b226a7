#include "SetupProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace kestrel::setup::test {

namespace {

void runChild(const std::filesystem::path& prefix, const std::vector<std::string>& arguments,
              const std::filesystem::path& directory, const std::filesystem::path& pathFirst,
              int output) {
    ::dup2(output, STDOUT_FILENO);
    ::dup2(output, STDERR_FILENO);
    ::setpgid(0, 0);
    if (::chdir(directory.c_str()) != 0) ::_exit(126);
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    ::setenv("WINEDEBUG", "-all", 1);
    const char* path = std::getenv("PATH");
    ::setenv("PATH",
             (pathFirst.string() + ":" + (path != nullptr ? path : "/usr/bin:/bin")).c_str(), 1);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) ::unsetenv(name);
    std::vector<char*> argv{const_cast<char*>(SETUP_PROGRAM)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(SETUP_PROGRAM, argv.data());
    ::_exit(127);
}

}  // namespace

SetupOutcome runSetupProgram(const std::filesystem::path& prefix,
                             const std::vector<std::string>& arguments,
                             const std::filesystem::path& directory,
                             const std::filesystem::path& pathFirst, int timeout) {
    SetupOutcome outcome;
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return outcome;
    const pid_t child = ::fork();
    if (child == 0) runChild(prefix, arguments, directory, pathFirst, pipe[1]);
    ::close(pipe[1]);
    if (child < 0) {
        ::close(pipe[0]);
        return outcome;
    }
    // Read until the program and whatever it left running with our pipe are done, or the
    // time is up; then the whole process group goes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout);
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd wait{pipe[0], POLLIN, 0};
        if (::poll(&wait, 1, static_cast<int>(left.count())) <= 0) break;
        const ssize_t n = ::read(pipe[0], buffer, sizeof buffer);
        if (n <= 0) break;
        outcome.output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipe[0]);
    int status = 0;
    // The output ends as the program exits; it may take a moment to become waitable.
    pid_t ended = 0;
    for (int tries = 0; tries < 100 && ended == 0; ++tries) {
        ended = ::waitpid(child, &status, WNOHANG);
        if (ended == 0 && std::chrono::steady_clock::now() < deadline) ::usleep(50'000);
    }
    if (ended == 0) {
        ::kill(-child, SIGKILL);
        ::waitpid(child, &status, 0);
        outcome.output += "\n[setup did not end in time and was killed]";
        return outcome;
    }
    if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
    return outcome;
}

}  // namespace kestrel::setup::test
