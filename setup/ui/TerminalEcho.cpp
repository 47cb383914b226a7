#include "ui/TerminalEcho.h"

#include <signal.h>
#include <termios.h>

#include <array>

namespace kestrel::setup {

namespace {

constexpr std::array kEndingSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What the signal handler needs: plain data, set before the handlers are in place.
int echoFd = -1;
termios withEcho{};
std::array<struct sigaction, kEndingSignals.size()> previous{};

extern "C" void restoreEchoAndEnd(int signal) {
    ::tcsetattr(echoFd, TCSANOW, &withEcho);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void echoOff(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return;
    echoFd = fd;
    withEcho = settings;
    struct sigaction restore {};
    restore.sa_handler = restoreEchoAndEnd;
    ::sigemptyset(&restore.sa_mask);
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
        ::sigaction(kEndingSignals[i], &restore, &previous[i]);
    // The line break is not echoed either: the console prints it.
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
    ::tcsetattr(fd, TCSANOW, &settings);
}

void echoOn() {
    if (echoFd < 0) return;
    ::tcsetattr(echoFd, TCSANOW, &withEcho);
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
        ::sigaction(kEndingSignals[i], &previous[i], nullptr);
    echoFd = -1;
}

}  // namespace

std::function<void(bool)> terminalEcho(int fd) {
    return [fd](bool on) {
        if (on) {
            echoOn();
        } else {
            echoOff(fd);
        }
    };
}

}  // namespace kestrel::setup
