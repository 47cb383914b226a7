#include <arpa/inet.h>

#include "platform/IPv4Address.h"

namespace kestrel::platform {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// One part in C notation at `pos`; nullopt when it does not start with a digit, has no digit
// after "0x", has an 8 or 9 in octal, or exceeds 32 bits.
std::optional<std::uint64_t> parsePart(std::string_view text, std::size_t& pos) {
    if (pos >= text.size() || !isDigit(text[pos])) return std::nullopt;
    unsigned base = 10;
    if (text[pos] == '0') {
        ++pos;
        base = 8;
        if (pos < text.size() && (text[pos] == 'x' || text[pos] == 'X')) {
            ++pos;
            base = 16;
            if (pos == text.size() || hexValue(text[pos]) < 0) return std::nullopt;
        }
    }
    std::uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const int digit =
            base == 16 ? hexValue(text[pos]) : (isDigit(text[pos]) ? text[pos] - '0' : -1);
        if (digit < 0) break;
        if (static_cast<unsigned>(digit) >= base) return std::nullopt;
        value = value * base + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::uint32_t> parseIPv4(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::uint64_t parts[4];
    std::size_t count = 0;
    std::size_t pos = 0;
    for (;;) {
        const auto part = parsePart(text, pos);
        if (!part) return std::nullopt;
        parts[count++] = *part;
        if (pos == text.size() || isBlank(text[pos])) break;
        if (text[pos] != '.' || count == 4) return std::nullopt;
        ++pos;
    }
    // Every part but the last is one byte; the last fills the rest.
    std::uint64_t value = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (parts[i] > 0xFF) return std::nullopt;
        value |= parts[i] << (24 - 8 * i);
    }
    const unsigned lastBits = 32 - 8 * static_cast<unsigned>(count - 1);
    if (parts[count - 1] >= (std::uint64_t{1} << lastBits)) return std::nullopt;
    value |= parts[count - 1];
    if (value == 0xFFFFFFFFu && text != "255.255.255.255") return std::nullopt;
    return htonl(static_cast<std::uint32_t>(value));
}

bool isHostAddress(std::uint32_t networkOrderAddress) {
    const std::uint32_t address = ntohl(networkOrderAddress);
    const std::uint32_t topNibble = address >> 28;
    // 0xE: multicast; 0xF: reserved, with the limited broadcast.
    return address != 0 && topNibble != 0xE && topNibble != 0xF;
}

}  // namespace kestrel::platform
