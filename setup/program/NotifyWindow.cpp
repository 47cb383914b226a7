#include "program/NotifyWindow.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <sstream>
#include <utility>

namespace kestrel::setup {

namespace {

constexpr int kAttempts = 8;
constexpr int kChildWriteTimeoutMs = 2000;

socklen_t addressOf(long number, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const std::string name = "kestrel-setup-notify." + std::to_string(number);
    // Abstract namespace: a leading zero byte, the name without a terminating one.
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

bool peerIsUs(int socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::getuid();
}

bool writeAll(int socket, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written =
            ::send(socket, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

std::string readAll(int socket) {
    std::string text;
    char buffer[256];
    for (;;) {
        pollfd ready{socket, POLLIN, 0};
        if (::poll(&ready, 1, kChildWriteTimeoutMs) <= 0) break;
        const ssize_t got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > 4096) break;  // a child says two short lines
    }
    return text;
}

}  // namespace

bool notifyCaller(long window, RestartKind restart) {
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return false;
    sockaddr_un address;
    const socklen_t size = addressOf(window, address);
    bool told = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), size) == 0 &&
                peerIsUs(socket);
    if (told && restart != RestartKind::None) {
        told = writeAll(socket, std::to_string(kNotifyRestartMessage) + " " +
                                    std::to_string(static_cast<int>(restart)) + "\n");
    }
    if (told) told = writeAll(socket, "close\n");
    ::close(socket);
    return told;
}

platform::Expected<NotifyWindow, std::string> NotifyWindow::open() {
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0) return platform::unexpected(std::string(std::strerror(errno)));
    std::mt19937 numbers{std::random_device{}()};
    // Our process number first, which says who listens; another when something has it.
    long number = ::getpid();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        sockaddr_un address;
        const socklen_t size = addressOf(number, address);
        if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), size) == 0 &&
            ::listen(socket, 8) == 0)
            return NotifyWindow(socket, number);
        if (errno != EADDRINUSE) break;
        number = static_cast<long>(numbers() & 0x7FFFFFFF);
    }
    const std::string why = std::strerror(errno);
    ::close(socket);
    return platform::unexpected(why);
}

NotifyWindow::NotifyWindow(NotifyWindow&& other) noexcept
    : socket_(std::exchange(other.socket_, -1)), number_(other.number_) {}

NotifyWindow::~NotifyWindow() {
    if (socket_ >= 0) ::close(socket_);
}

NotifyWindow::Received NotifyWindow::receive() {
    Received received;
    for (;;) {
        const int child = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
        if (child < 0) {
            if (errno == EINTR) continue;
            break;  // EAGAIN: nobody else has written
        }
        if (peerIsUs(child)) {
            std::istringstream lines(readAll(child));
            for (std::string line; std::getline(lines, line);) {
                int message = 0, kind = 0;
                std::istringstream words(line);
                if (line == "close") {
                    received.closed = true;
                } else if (words >> message >> kind && message == kNotifyRestartMessage &&
                           (kind == 1 || kind == 2)) {
                    received.restart = static_cast<RestartKind>(kind);
                }
            }
        }
        ::close(child);
    }
    return received;
}

}  // namespace kestrel::setup
