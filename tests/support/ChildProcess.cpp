#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "TestSupport.h"

namespace kestrel::test {

namespace {

int exitStatus(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

pid_t spawnChild(const std::vector<std::string>& argv, const std::filesystem::path& log) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) return -1;
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);  // the test ended before the prctl
        const int in = ::open("/dev/null", O_RDONLY);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(out);
    return pid;
}

std::optional<int> waitChild(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return exitStatus(status);
        if (done < 0) return -1;  // not our child (any more)
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void endChild(pid_t pid, std::chrono::milliseconds grace) {
    ::kill(pid, SIGTERM);
    if (waitChild(pid, grace)) return;
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

platform::Expected<void, std::string> runChild(const std::vector<std::string>& argv,
                                               const std::filesystem::path& log,
                                               std::chrono::milliseconds limit) {
    const pid_t pid = spawnChild(argv, log);
    if (pid < 0) return platform::unexpected(argv[0] + " could not be started");
    const std::optional<int> status = waitChild(pid, limit);
    if (!status) {
        endChild(pid);
        return platform::unexpected(argv[0] + " did not finish within " +
                                    std::to_string(limit.count()) + " ms");
    }
    if (*status != 0) {
        return platform::unexpected(argv[0] + " failed (exit status " + std::to_string(*status) +
                                    "): " + readFile(log));
    }
    return {};
}

}  // namespace kestrel::test
