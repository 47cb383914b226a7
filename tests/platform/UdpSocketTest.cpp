#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/UdpSocket.h"

namespace kestrel::platform {
namespace {

const std::uint32_t kLoopback = htonl(INADDR_LOOPBACK);

// A plain listener on 127.0.0.1 and a free port.
class Listener {
  public:
    Listener() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = kLoopback;
        socklen_t length = sizeof local;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length);
        port_ = ntohs(local.sin_port);
    }
    ~Listener() { ::close(fd_); }
    std::uint16_t port() const { return port_; }

    // The next datagram and the port it came from; empty after a second without one.
    std::pair<std::vector<std::uint8_t>, std::uint16_t> receive() const {
        pollfd entry{fd_, POLLIN, 0};
        if (::poll(&entry, 1, 1000) != 1) return {};
        std::vector<std::uint8_t> buffer(70000);
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n = ::recvfrom(fd_, buffer.data(), buffer.size(), 0,
                                     reinterpret_cast<sockaddr*>(&from), &length);
        buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return {buffer, ntohs(from.sin_port)};
    }

  private:
    int fd_;
    std::uint16_t port_ = 0;
};

TEST(UdpSocket, SendsTheBytesFromTheBoundPort) {
    Listener listener;
    UdpSocket socket;
    ASSERT_FALSE(socket.open());
    ASSERT_FALSE(socket.bind(0));
    ASSERT_NE(socket.localPort(), 0);

    // A magic packet's shape: 6 x 0xFF, a hardware address 16 times, 6 x 0xFF and a zero.
    std::vector<std::uint8_t> packet(6, 0xFF);
    for (int i = 0; i < 16; ++i) packet.insert(packet.end(), {0x00, 0xA0, 0xC9, 0x12, 0x34, 0x56});
    packet.insert(packet.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00});
    ASSERT_EQ(packet.size(), 109u);

    std::error_code error;
    EXPECT_EQ(socket.sendTo(kLoopback, listener.port(), packet, &error), 109u);
    EXPECT_FALSE(error);
    const auto [received, fromPort] = listener.receive();
    EXPECT_EQ(received, packet);
    EXPECT_EQ(fromPort, socket.localPort());

    EXPECT_EQ(socket.sendTo(kLoopback, listener.port(), {}), 0u);  // an empty datagram
    EXPECT_TRUE(listener.receive().first.empty());
}

TEST(UdpSocket, FailuresAreReported) {
    UdpSocket closed;
    EXPECT_FALSE(closed.isOpen());
    std::error_code error;
    const std::uint8_t byte = 1;
    EXPECT_EQ(closed.sendTo(kLoopback, 9, {&byte, 1}, &error), std::nullopt);
    EXPECT_EQ(error, std::errc::bad_file_descriptor);
    EXPECT_EQ(closed.bind(0), std::errc::bad_file_descriptor);
    EXPECT_EQ(closed.localPort(), 0);

    UdpSocket socket;
    ASSERT_FALSE(socket.open());
    // Broadcast needs SO_BROADCAST, which these sockets never set; nothing leaves the host.
    EXPECT_EQ(socket.sendTo(htonl(INADDR_BROADCAST), 9, {&byte, 1}, &error), std::nullopt);
    EXPECT_EQ(error, std::errc::permission_denied);
    const std::vector<std::uint8_t> tooBig(70000);
    EXPECT_EQ(socket.sendTo(kLoopback, 9, tooBig, &error), std::nullopt);
    EXPECT_EQ(error, std::errc::message_size);
}

TEST(UdpSocket, BindingATakenPort) {
    UdpSocket first;
    ASSERT_FALSE(first.open());
    ASSERT_FALSE(first.bind(0));
    const std::uint16_t port = first.localPort();

    UdpSocket second;
    ASSERT_FALSE(second.open());
    EXPECT_EQ(second.bind(port), std::errc::address_in_use);
    EXPECT_EQ(second.bind(port, true), std::errc::address_in_use);  // the first did not share

    UdpSocket sharing1;
    UdpSocket sharing2;
    ASSERT_FALSE(sharing1.open());
    ASSERT_FALSE(sharing2.open());
    ASSERT_FALSE(sharing1.bind(0, true));
    EXPECT_FALSE(sharing2.bind(sharing1.localPort(), true));
}

TEST(UdpSocket, MovingHandsTheSocketOver) {
    Listener listener;
    UdpSocket socket;
    ASSERT_FALSE(socket.open());
    UdpSocket moved(std::move(socket));
    EXPECT_FALSE(socket.isOpen());  // NOLINT(bugprone-use-after-move): the moved-from state
    ASSERT_TRUE(moved.isOpen());
    UdpSocket assigned;
    ASSERT_FALSE(assigned.open());
    assigned = std::move(moved);
    EXPECT_TRUE(assigned.isOpen());
    const std::uint8_t byte = 7;
    EXPECT_EQ(assigned.sendTo(kLoopback, listener.port(), {&byte, 1}), 1u);
    EXPECT_EQ(listener.receive().first, std::vector<std::uint8_t>{7});

    // Opening again gives a fresh, unbound socket.
    UdpSocket reopened;
    ASSERT_FALSE(reopened.open());
    ASSERT_FALSE(reopened.bind(0));
    ASSERT_FALSE(reopened.open());
    EXPECT_EQ(reopened.localPort(), 0);
}

}  // namespace
}  // namespace kestrel::platform
