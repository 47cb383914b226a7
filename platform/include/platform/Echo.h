#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::platform {

// The classic inet_addr() conversion: dotted text to an address in network byte order.
// One to four parts, each decimal, octal (leading 0) or hexadecimal (0x); the last part fills
// the remaining bytes ("10.1" is 10.0.0.1, "0x7f000001" is 127.0.0.1). The text ends at a
// NUL or at a blank, as it does for inet_addr. nullopt where inet_addr gives INADDR_NONE for
// a text that is not "255.255.255.255": malformed text, and the all-ones address written in
// any other way.
std::optional<std::uint32_t> parseIPv4(std::string_view text);

// False for 0.0.0.0, the limited broadcast 255.255.255.255, multicast 224.0.0.0/4 and
// 240.0.0.0/4: addresses a ping must never go to.
bool isHostAddress(std::uint32_t networkOrderAddress);

enum class EchoStatus { Reply, TimedOut, NotSent, NoSocket };

struct EchoRequest {
    std::uint32_t address = 0;  // network byte order
    std::string payload;        // the echo data, possibly empty
    std::chrono::milliseconds timeout{1000};
};

struct EchoResult {
    EchoStatus status = EchoStatus::TimedOut;
    int roundTripMs = -1;   // -1 without a reply
    int ttl = 0;            // 0 without a reply
    std::string error;      // why NoSocket / NotSent, for a message
    std::string replyData;  // the data the reply carried back
};

// One ICMP echo request and its reply. Injectable: the browsers' tests use a scripted probe.
class EchoProbe {
  public:
    virtual ~EchoProbe() = default;
    virtual EchoResult send(const EchoRequest& request) = 0;
};

// Echo through a ping socket (SOCK_DGRAM, IPPROTO_ICMP), or a raw socket where the group is
// not allowed ping sockets. Blocks until the reply or the time-out. A non-host address gives
// NotSent and nothing is sent; so does a payload too large for one datagram.
std::unique_ptr<EchoProbe> makeIcmpEchoProbe();

}  // namespace kestrel::platform
