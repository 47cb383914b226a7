#include <netinet/in.h>
#include <sys/socket.h>

#include "SocketHandle.h"
#include "platform/UdpSocket.h"

namespace kestrel::platform {

namespace {

std::error_code notOpen() {
    return std::make_error_code(std::errc::bad_file_descriptor);
}

}  // namespace

UdpSocket::UdpSocket() = default;

UdpSocket::~UdpSocket() {
    close();
}

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void UdpSocket::close() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

std::error_code UdpSocket::open() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return lastSocketError();
    close();
    fd_ = fd;
    return {};
}

std::error_code UdpSocket::bind(std::uint16_t localPort, bool reuseAddress) {
    if (!isOpen()) return notOpen();
    if (reuseAddress) {
        const int on = 1;
        if (::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
            return lastSocketError();
        }
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(localPort);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        return lastSocketError();
    }
    return {};
}

std::optional<std::size_t> UdpSocket::sendTo(std::uint32_t networkOrderAddress, std::uint16_t port,
                                             std::span<const std::uint8_t> bytes,
                                             std::error_code* error) {
    std::error_code failure;
    if (!isOpen()) {
        failure = notOpen();
    } else {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = networkOrderAddress;
        to.sin_port = htons(port);
        ssize_t sent;
        do {
            sent = ::sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                            reinterpret_cast<const sockaddr*>(&to), sizeof to);
        } while (sent < 0 && errno == EINTR);
        if (sent >= 0) return static_cast<std::size_t>(sent);
        failure = lastSocketError();
    }
    if (error != nullptr) *error = failure;
    return std::nullopt;
}

bool UdpSocket::isOpen() const {
    return fd_ >= 0;
}

std::uint16_t UdpSocket::localPort() const {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (!isOpen() || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return 0;
    }
    return ntohs(local.sin_port);
}

}  // namespace kestrel::platform
