// The reachability check: one ICMP echo to the IPv4 address a workstation registered in the
// directory, and the message that tells how it went.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/EchoProbe.h"

namespace kestrel::browser {

inline constexpr std::string_view kEchoPayload = "KESTRELSCOPE IP PING";
inline constexpr std::chrono::milliseconds kEchoTimeout{2000};

// Makes the probe for one check; tests put a scripted one in.
using EchoProbeFactory = std::function<std::unique_ptr<platform::EchoProbe>()>;

// The address to ping among the registered ones: the first with a full stop (IPv4), else
// the last; nullopt when there is none.
std::optional<std::string> pingTarget(const std::vector<std::string>& addresses);

// Sends one echo request to `address` and says what came back. Nothing is sent to a text
// that names no single host (such as "no value", or a broadcast address); that reads as
// timed out at once.
std::string pingMessage(platform::EchoProbe& probe, const std::string& address);

}  // namespace kestrel::browser
