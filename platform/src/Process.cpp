#include "platform/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramLaunch.h"

extern char** environ;

namespace kestrel::platform {

namespace {

// What a child that could not exec reports through the close-on-exec pipe. An exec that
// succeeds closes the pipe with nothing written.
struct ChildFailure {
    enum Step : int { ChangeDirectory, Fork, Exec } step;
    int error;
};

std::string_view variableName(std::string_view entry) {
    return entry.substr(0, entry.find('='));
}

// Our environment with `added` on top: an added variable replaces ours of the same name.
std::vector<std::string> childEnvironment(const std::vector<std::string>& added) {
    std::vector<std::string> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view name = variableName(*entry);
        const bool replaced = std::any_of(added.begin(), added.end(), [name](const auto& extra) {
            return variableName(extra) == name;
        });
        if (!replaced) entries.emplace_back(*entry);
    }
    entries.insert(entries.end(), added.begin(), added.end());
    return entries;
}

// Pointers into storage prepared before fork, so the child only makes system calls.
class ExecImage {
  public:
    ExecImage(const LaunchPlan& plan, const StartRequest& request)
        : executable_(plan.executable.string()), arguments_(plan.argv) {
        if (request.workingDirectory) workingDirectory_ = request.workingDirectory->string();
        for (std::string& arg : arguments_) argv_.push_back(arg.data());
        argv_.push_back(nullptr);
        environment_ = childEnvironment(request.environment);
        for (std::string& entry : environment_) envp_.push_back(entry.data());
        envp_.push_back(nullptr);
    }

    // Runs in the forked child: async-signal-safe calls only.
    [[noreturn]] void exec(int reportFd) const {
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        if (workingDirectory_ && ::chdir(workingDirectory_->c_str()) != 0) {
            fail(reportFd, ChildFailure::ChangeDirectory);
        }
        // Windows programs inherit no handles unless asked; only 0, 1 and 2 pass on here.
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        ::execve(executable_.c_str(), argv_.data(), envp_.data());
        fail(reportFd, ChildFailure::Exec);
    }

    [[noreturn]] static void fail(int reportFd, ChildFailure::Step step) {
        const ChildFailure failure{step, errno};
        ssize_t written;
        do {
            written = ::write(reportFd, &failure, sizeof failure);
        } while (written < 0 && errno == EINTR);
        ::_exit(127);
    }

  private:
    std::string executable_;
    std::vector<std::string> arguments_;
    std::optional<std::string> workingDirectory_;
    std::vector<char*> argv_;
    std::vector<std::string> environment_;
    std::vector<char*> envp_;
};

StartError toStartError(const ChildFailure& failure) {
    switch (failure.error) {
        case ENOENT:
            return failure.step == ChildFailure::ChangeDirectory ? StartError::PathNotFound
                                                                 : StartError::FileNotFound;
        case ENOTDIR:
        case ELOOP:
        case ENAMETOOLONG:
            return StartError::PathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
        case ETXTBSY:
            return StartError::AccessDenied;
        case ENOEXEC:
        case ELIBBAD:
        case EINVAL:
            return StartError::BadFormat;
        default:
            return StartError::OutOfResources;
    }
}

void waitFor(pid_t pid, int* status) {
    while (::waitpid(pid, status, 0) < 0 && errno == EINTR) {
    }
}

// Polls instead of blocking, so the caller can keep its windows alive between the polls.
void waitFor(pid_t pid, int* status, const std::function<void()>& whileWaiting) {
    if (!whileWaiting) return waitFor(pid, status);
    constexpr useconds_t kStep = 50'000;
    for (;;) {
        const pid_t ended = ::waitpid(pid, status, WNOHANG);
        if (ended == pid || (ended < 0 && errno != EINTR)) return;
        whileWaiting();
        ::usleep(kStep);
    }
}

// Reads the child's report; the pipe reaches end of file once exec succeeded.
StartError readReport(int fd) {
    ChildFailure failure{};
    ssize_t n;
    do {
        n = ::read(fd, &failure, sizeof failure);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n == static_cast<ssize_t>(sizeof failure)) return toStartError(failure);
    return n == 0 ? StartError::None : StartError::OutOfResources;
}

struct Started {
    StartError error;
    pid_t pid;  // the process to wait for
};

// Forks and execs; with `detach` an intermediate process forks the program and exits at
// once, so the program is adopted by init and never becomes our zombie.
Started launch(const StartRequest& request, bool detach) {
    const LaunchPlan plan = planLaunch(request);
    if (plan.error != StartError::None) return {plan.error, -1};
    const ExecImage image(plan, request);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return {StartError::OutOfResources, -1};
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return {StartError::OutOfResources, -1};
    }
    if (pid == 0) {
        ::close(pipeFds[0]);
        if (!detach) image.exec(pipeFds[1]);
        const pid_t grandchild = ::fork();
        if (grandchild < 0) ExecImage::fail(pipeFds[1], ChildFailure::Fork);
        if (grandchild == 0) image.exec(pipeFds[1]);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    if (detach) waitFor(pid, nullptr);
    const StartError error = readReport(pipeFds[0]);
    if (error != StartError::None && !detach) waitFor(pid, nullptr);
    return {error, pid};
}

}  // namespace

StartError startProgram(const StartRequest& request) {
    return launch(request, true).error;
}

std::string_view startErrorText(StartError error) {
    switch (error) {
        case StartError::None:
            return {};
        case StartError::FileNotFound:
            return "the program file was not found";
        case StartError::PathNotFound:
            return "its folder was not found";
        case StartError::AccessDenied:
            return "access was denied";
        case StartError::BadFormat:
            return "it is no program this system can run (Windows programs need wine)";
        case StartError::OutOfResources:
            return "the system is out of resources";
    }
    return "of an unknown error";
}

RunResult runProgram(const StartRequest& request, const std::function<void()>& whileWaiting) {
    const Started started = launch(request, false);
    if (started.error != StartError::None) return {started.error, -1};
    int status = 0;
    waitFor(started.pid, &status, whileWaiting);
    if (WIFSIGNALED(status)) return {StartError::None, 128 + WTERMSIG(status)};
    return {StartError::None, WEXITSTATUS(status)};
}

}  // namespace kestrel::platform
