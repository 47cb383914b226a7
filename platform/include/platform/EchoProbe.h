#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kestrel::platform {

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
