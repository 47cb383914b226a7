#include "TerminalSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace kestrel::setup::test {

namespace {

[[noreturn]] void runChild(const TerminalSession::Start& start, const char* terminal) {
    ::setsid();  // the terminal opened next becomes the controlling one
    const int slave = ::open(terminal, O_RDWR);
    if (slave < 0) ::_exit(126);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) ::dup2(slave, fd);
    if (slave > STDERR_FILENO) ::close(slave);
    if (::chdir(start.directory.c_str()) != 0) ::_exit(126);
    for (const auto& [name, value] : start.environment) ::setenv(name.c_str(), value.c_str(), 1);
    for (const std::string& name : start.unset) ::unsetenv(name.c_str());
    std::vector<char*> argv;
    for (const std::string& argument : start.argv)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

}  // namespace

TerminalSession::TerminalSession(const Start& start) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    const char* name = ::ptsname(master_);
    if (name == nullptr) return;
    const std::string terminal = name;
    child_ = ::fork();
    if (child_ == 0) runChild(start, terminal.c_str());
}

TerminalSession::~TerminalSession() {
    if (child_ > 0) {
        ::kill(-child_, SIGKILL);
        ::kill(child_, SIGKILL);
        ::waitpid(child_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
}

bool TerminalSession::readSome(int milliseconds) {
    if (ended_ || master_ < 0) return false;
    pollfd wait{master_, POLLIN, 0};
    if (::poll(&wait, 1, milliseconds) <= 0) return false;  // a hang-up is seen by read
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) {
        // EIO: no end of the terminal is open on the program's side, which is also so
        // before the program has opened its own.
        if (exited()) {
            ended_ = true;
        } else {
            ::usleep(10'000);
        }
        return false;
    }
    for (ssize_t i = 0; i < n; ++i) {
        if (buffer[i] != '\r') output_ += buffer[i];
    }
    return true;
}

bool TerminalSession::waitFor(std::string_view text, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        const std::size_t at = output_.find(text, seen_);
        if (at != std::string::npos) {
            seen_ = at + text.size();
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (ended_ || left.count() <= 0) return false;
        readSome(static_cast<int>(left.count()));
    }
}

void TerminalSession::type(std::string_view line) {
    const std::string typed = std::string(line) + "\n";
    if (master_ >= 0) (void)!::write(master_, typed.data(), typed.size());
}

void TerminalSession::endInput() {
    if (master_ >= 0) (void)!::write(master_, "\x04", 1);
}

bool TerminalSession::exited() {
    if (child_ <= 0) return true;
    int status = 0;
    if (::waitpid(child_, &status, WNOHANG) != child_) return false;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    child_ = -1;
    return true;
}

int TerminalSession::finish(int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!ended_ && std::chrono::steady_clock::now() < deadline) readSome(100);
    return ended_ ? status_ : -1;  // still running: the destructor kills it
}

}  // namespace kestrel::setup::test
