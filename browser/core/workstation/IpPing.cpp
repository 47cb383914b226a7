#include "workstation/IpPing.h"

#include <algorithm>

#include "platform/IPv4Address.h"

namespace kestrel::browser {

std::optional<std::string> pingTarget(const std::vector<std::string>& addresses) {
    if (addresses.empty()) return std::nullopt;
    auto dotted = std::find_if(addresses.begin(), addresses.end(), [](const std::string& each) {
        return each.find('.') != std::string::npos;
    });
    return dotted != addresses.end() ? *dotted : addresses.back();
}

std::string pingMessage(platform::EchoProbe& probe, const std::string& address) {
    const std::string timedOut = "Request to " + address + " timed out!";
    auto host = platform::parseIPv4(address);
    if (!host || !platform::isHostAddress(*host)) return timedOut;

    platform::EchoResult result = probe.send({*host, std::string(kEchoPayload), kEchoTimeout});
    // Without an echo socket nothing could be sent; saying "timed out" would blame the
    // workstation.
    if (result.status == platform::EchoStatus::NoSocket)
        return "Couldn't ping " + address + ": " + result.error + "!";
    if (result.ttl == 0 || result.roundTripMs == -1) return timedOut;
    return "Reply from " + address + ": Time=" + std::to_string(result.roundTripMs) +
           "ms TTL=" + std::to_string(result.ttl);
}

}  // namespace kestrel::browser
