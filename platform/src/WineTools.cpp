#include "platform/WineTools.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
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

// Starts the tool in a process group of its own, so that one that hangs goes with everything
// it started; `stdinFd`/`stdoutFd`/`stderrFd` become its standard input, output and error
// (-1: /dev/null, and `outputFile` for the output when given). -1 when it could not be started.
pid_t spawnWineTool(const std::vector<std::string>& argv, const std::filesystem::path& prefix,
                    int stdinFd, int stdoutFd, const std::filesystem::path& outputFile,
                    int stderrFd = -1) {
    if (argv.empty()) return -1;
    const auto program = argv.front().find('/') != std::string::npos
                             ? std::optional<std::filesystem::path>(argv.front())
                             : findOnPath(argv.front());
    if (!program) return -1;
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = wineEnvironment(prefix);
    std::vector<char*> argvPointers = pointers(arguments);
    std::vector<char*> envPointers = pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    const std::string output = outputFile.empty() ? "/dev/null" : outputFile.string();
    if (stdoutFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    if (stderrFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stderrFd, STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program->c_str(), &actions, &attributes,
                                      argvPointers.data(), envPointers.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

}  // namespace

bool wineInstalled() {
    return findOnPath("wine").has_value();
}

std::filesystem::path registryHelperFor(const std::filesystem::path& programDirectory) {
    if (programDirectory.empty()) return {};
    const std::filesystem::path lib = programDirectory.parent_path() / "lib";
    for (const std::filesystem::path& place :
         {lib / "kestrel-registry.exe", lib / "kestrel" / "kestrel-registry.exe"}) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(place, ec)) return place;
    }
    return {};
}

std::optional<WineConversation> startWineConversation(const std::vector<std::string>& argv,
                                                      const std::filesystem::path& prefix) {
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0) return std::nullopt;
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        ::close(toChild[0]);
        ::close(toChild[1]);
        return std::nullopt;
    }
    // A file without a name, gone with the last descriptor: Wine says there why it could not
    // start a program, and it never fills up as an unread pipe would.
    std::error_code ignored;
    const int errors = ::open(std::filesystem::temp_directory_path(ignored).c_str(),
                              O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    const pid_t pid = spawnWineTool(argv, prefix, toChild[0], fromChild[1], {}, errors);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (pid < 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        if (errors >= 0) ::close(errors);
        return std::nullopt;
    }
    return WineConversation{pid, toChild[1], fromChild[0], errors};
}

std::string lastErrorWords(int errors) {
    struct stat info {};
    if (errors < 0 || ::fstat(errors, &info) != 0 || info.st_size <= 0) return {};
    constexpr off_t kTail = 1024;
    const off_t from = info.st_size > kTail ? info.st_size - kTail : 0;
    std::string tail(static_cast<std::size_t>(info.st_size - from), '\0');
    const ssize_t n = ::pread(errors, tail.data(), tail.size(), from);
    tail.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    // Its last two lines: Wine's reason comes last, sometimes after a line of context.
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < tail.size()) {
        std::size_t end = tail.find('\n', start);
        if (end == std::string::npos) end = tail.size();
        std::string line = tail.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) lines.push_back(std::move(line));
        start = end + 1;
    }
    if (from > 0 && !lines.empty()) lines.erase(lines.begin());  // cut off at the front
    std::string words;
    for (std::size_t i = lines.size() > 2 ? lines.size() - 2 : 0; i < lines.size(); ++i)
        words += (words.empty() ? "" : "; ") + lines[i];
    return words;
}

WineToolResult runWineTool(const std::vector<std::string>& argv,
                           const std::filesystem::path& prefix, std::chrono::milliseconds timeout,
                           const std::filesystem::path& outputFile) {
    const pid_t pid = spawnWineTool(argv, prefix, -1, -1, outputFile);
    if (pid < 0) return {};

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
