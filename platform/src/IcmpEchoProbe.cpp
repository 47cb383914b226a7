#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "SocketHandle.h"
#include "platform/EchoProbe.h"
#include "platform/IPv4Address.h"

namespace kestrel::platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kIcmpHeaderSize = 8;
constexpr std::size_t kMinimumIpHeaderSize = 20;
// What fits into one IPv4 datagram behind the IP and ICMP headers.
constexpr std::size_t kMaximumPayload = 65535 - kMinimumIpHeaderSize - kIcmpHeaderSize;
constexpr std::uint8_t kEchoReply = 0;
// Longer time-outs are cut to this, which keeps the deadline and poll()'s int in range.
constexpr std::chrono::milliseconds kLongestWait = std::chrono::hours(24);
constexpr std::uint8_t kEchoRequest = 8;

struct IcmpSocket {
    SocketHandle handle;
    bool raw = false;  // raw sockets deliver the IP header and every ICMP message
};

std::uint16_t internetChecksum(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        sum += static_cast<std::uint32_t>(bytes[i] << 8);
        if (i + 1 < bytes.size()) sum += bytes[i + 1];
    }
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

std::uint16_t readBigEndian16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

std::vector<std::uint8_t> echoRequestPacket(std::uint16_t identifier, std::uint16_t sequence,
                                            const std::string& payload) {
    std::vector<std::uint8_t> packet(kIcmpHeaderSize);
    packet[0] = kEchoRequest;
    packet[4] = static_cast<std::uint8_t>(identifier >> 8);
    packet[5] = static_cast<std::uint8_t>(identifier);
    packet[6] = static_cast<std::uint8_t>(sequence >> 8);
    packet[7] = static_cast<std::uint8_t>(sequence);
    packet.insert(packet.end(), payload.begin(), payload.end());
    const std::uint16_t checksum = internetChecksum(packet);
    packet[2] = static_cast<std::uint8_t>(checksum >> 8);
    packet[3] = static_cast<std::uint8_t>(checksum);
    return packet;
}

// The ping socket needs the group in net.ipv4.ping_group_range; the raw one CAP_NET_RAW.
std::optional<IcmpSocket> openIcmpSocket(std::string& error) {
    IcmpSocket pingSocket{SocketHandle(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP))};
    if (pingSocket.handle.valid()) {
        const int on = 1;
        ::setsockopt(pingSocket.handle.get(), IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
        return pingSocket;
    }
    const std::string pingError = lastSocketError().message();
    IcmpSocket rawSocket{SocketHandle(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP)),
                         true};
    if (rawSocket.handle.valid()) {
        // Wake up for echo replies only; the filter lists the types to drop.
        const icmp_filter filter{~(1u << kEchoReply)};
        ::setsockopt(rawSocket.handle.get(), SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
        return rawSocket;
    }
    error = "cannot open an ICMP socket (ping socket: " + pingError +
            "; raw socket: " + lastSocketError().message() + ")";
    return std::nullopt;
}

struct Received {
    std::size_t size = 0;
    std::uint32_t source = 0;  // network byte order
    int ttl = 0;               // from the control message (ping sockets)
};

std::optional<Received> receive(int fd, std::vector<std::uint8_t>& buffer) {
    sockaddr_in from{};
    iovec io{buffer.data(), buffer.size()};
    std::array<char, CMSG_SPACE(sizeof(int)) * 4> control{};
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    const ssize_t n = ::recvmsg(fd, &message, MSG_DONTWAIT);
    if (n < 0) return std::nullopt;
    Received received{static_cast<std::size_t>(n), from.sin_addr.s_addr, 0};
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL) {
            std::memcpy(&received.ttl, CMSG_DATA(c), sizeof(int));
        }
    }
    return received;
}

class IcmpEchoProbe final : public EchoProbe {
  public:
    IcmpEchoProbe() : identifier_(static_cast<std::uint16_t>(std::random_device{}())) {}

    EchoResult send(const EchoRequest& request) override {
        EchoResult result;
        if (!isHostAddress(request.address)) {
            return notSent(result, "not a host address");
        }
        if (request.payload.size() > kMaximumPayload) {
            return notSent(result, "echo data too large for one datagram");
        }
        auto socket = openIcmpSocket(result.error);
        if (!socket) {
            result.status = EchoStatus::NoSocket;
            return result;
        }
        const std::uint16_t sequence = ++sequence_;
        const std::vector<std::uint8_t> packet =
            echoRequestPacket(identifier_, sequence, request.payload);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = request.address;

        const Clock::time_point start = Clock::now();
        const Clock::time_point deadline =
            start + std::clamp<std::chrono::milliseconds>(request.timeout, {}, kLongestWait);
        ssize_t sent;
        do {
            sent = ::sendto(socket->handle.get(), packet.data(), packet.size(), 0,
                            reinterpret_cast<const sockaddr*>(&to), sizeof to);
        } while (sent < 0 && errno == EINTR);
        if (sent < 0) return notSent(result, lastSocketError().message());

        std::vector<std::uint8_t> buffer(65536);
        while (waitReadable(socket->handle.get(), deadline)) {
            const auto received = receive(socket->handle.get(), buffer);
            if (!received || received->source != request.address) continue;
            if (const auto reply = matchReply(*socket, buffer, *received, sequence)) {
                result.status = EchoStatus::Reply;
                result.roundTripMs = static_cast<int>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)
                        .count());
                result.ttl = reply->ttl;
                result.replyData = std::move(reply->data);
                return result;
            }
        }
        result.status = EchoStatus::TimedOut;
        return result;
    }

  private:
    struct Reply {
        int ttl;
        std::string data;
    };

    static EchoResult& notSent(EchoResult& result, std::string why) {
        result.status = EchoStatus::NotSent;
        result.error = std::move(why);
        return result;
    }

    // False once the deadline has passed without anything to read.
    static bool waitReadable(int fd, Clock::time_point deadline) {
        for (;;) {
            const auto left = deadline - Clock::now();
            if (left <= Clock::duration::zero()) return false;
            // Rounded up, so the wait never ends before the deadline.
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
            pollfd entry{fd, POLLIN, 0};
            const int ready = ::poll(&entry, 1, static_cast<int>(ms));
            if (ready > 0) return true;
            if (ready < 0 && errno != EINTR) return false;
        }
    }

    // The echo reply to our request inside what arrived: a ping socket gives the ICMP message
    // (the kernel matched the identifier), a raw socket the whole IP datagram.
    std::optional<Reply> matchReply(const IcmpSocket& socket,
                                    const std::vector<std::uint8_t>& buffer,
                                    const Received& received, std::uint16_t sequence) const {
        std::size_t offset = 0;
        int ttl = received.ttl;
        if (socket.raw) {
            if (received.size < kMinimumIpHeaderSize) return std::nullopt;
            offset = static_cast<std::size_t>(buffer[0] & 0x0F) * 4;
            ttl = buffer[8];
        }
        if (offset < (socket.raw ? kMinimumIpHeaderSize : 0) ||
            received.size < offset + kIcmpHeaderSize) {
            return std::nullopt;
        }
        const std::uint8_t* icmp = buffer.data() + offset;
        if (icmp[0] != kEchoReply || readBigEndian16(icmp + 6) != sequence) return std::nullopt;
        if (socket.raw && readBigEndian16(icmp + 4) != identifier_) return std::nullopt;
        const auto* data = reinterpret_cast<const char*>(icmp + kIcmpHeaderSize);
        return Reply{ttl, std::string(data, received.size - offset - kIcmpHeaderSize)};
    }

    std::uint16_t identifier_;
    std::uint16_t sequence_ = 0;
};

}  // namespace

std::unique_ptr<EchoProbe> makeIcmpEchoProbe() {
    return std::make_unique<IcmpEchoProbe>();
}

}  // namespace kestrel::platform
