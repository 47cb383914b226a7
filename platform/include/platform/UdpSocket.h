#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <system_error>

namespace kestrel::platform {

// UDP datagrams through a plain IPv4 socket. Broadcast is not enabled: sending to a broadcast
// address fails, as it does on a socket without SO_BROADCAST.
class UdpSocket {
  public:
    UdpSocket();
    ~UdpSocket();  // closes
    UdpSocket(UdpSocket&&) noexcept;
    UdpSocket& operator=(UdpSocket&&) noexcept;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // SOCK_DGRAM, AF_INET. Opening again closes the socket held so far first.
    std::error_code open();
    // On all local addresses; reuseAddress sets SO_REUSEADDR first, so sockets that all set it
    // may share the port. Not open: std::errc::bad_file_descriptor.
    std::error_code bind(std::uint16_t localPort, bool reuseAddress = false);
    // Bytes sent, or nullopt with *error set.
    std::optional<std::size_t> sendTo(std::uint32_t networkOrderAddress, std::uint16_t port,
                                      std::span<const std::uint8_t> bytes,
                                      std::error_code* error = nullptr);
    bool isOpen() const;
    // The local port after bind (0 binds to a free one); 0 when not bound.
    std::uint16_t localPort() const;

  private:
    void close();

    int fd_ = -1;
};

}  // namespace kestrel::platform
