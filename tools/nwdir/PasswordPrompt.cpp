#include "PasswordPrompt.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace nwdir {

namespace {

// For the rest of the process's life, which for nwdir ends with the command: a core file, or
// a debugger of the user's attached to it, would hand over the password.
void keepMemoryPrivate() {
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    rlimit core{};
    if (::getrlimit(RLIMIT_CORE, &core) == 0) {
        core.rlim_cur = 0;
        ::setrlimit(RLIMIT_CORE, &core);
    }
}

// One byte at a time up to the line end: nothing of the input beyond it is taken from the
// descriptor, and nothing of the line is kept anywhere but in `line`.
std::optional<std::size_t> readLine(std::array<char, kMaxPasswordBytes + 1>& line) {
    std::size_t length = 0;
    bool tooLong = false;
    for (;;) {
        char byte = 0;
        const ssize_t got = ::read(STDIN_FILENO, &byte, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (length == 0 && !tooLong) return std::nullopt;
            break;
        }
        if (byte == '\n') break;
        if (length < line.size())
            line[length++] = byte;
        else
            tooLong = true;
    }
    if (length > 0 && line[length - 1] == '\r') --length;
    if (tooLong || length > kMaxPasswordBytes) {
        std::fprintf(stderr, "nwdir: a password has at most %zu bytes\n", kMaxPasswordBytes);
        return std::nullopt;
    }
    return length;
}

}  // namespace

std::optional<nw::kit::Secret> readPassword(const char* prompt) {
    keepMemoryPrivate();
    bool terminal = ::isatty(STDIN_FILENO) != 0;
    termios saved{};
    if (terminal) {
        std::fprintf(stderr, "%s", prompt);
        std::fflush(stderr);
        ::tcgetattr(STDIN_FILENO, &saved);
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    std::array<char, kMaxPasswordBytes + 1> line{};
    std::optional<std::size_t> length = readLine(line);
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fprintf(stderr, "\n");
    }
    std::optional<nw::kit::Secret> password;
    if (length) password.emplace(std::string_view(line.data(), *length));
    explicit_bzero(line.data(), line.size());
    return password;
}

}  // namespace nwdir
