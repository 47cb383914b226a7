#pragma once

#include <cstdint>
#include <optional>
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

}  // namespace kestrel::platform
