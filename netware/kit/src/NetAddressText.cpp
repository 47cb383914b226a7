#include "nwkit/NetAddressText.h"

#include <cstdio>

namespace nw::kit {

namespace {

std::string upperHex(const nuint8* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 15]);
    }
    return text;
}

std::string dotted(const nuint8* bytes) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

constexpr std::size_t kPortBytes = 2;

bool isPortAddress(const Net_Address_T& address) {
    return address.address != nullptr &&
           (address.addressType == NT_UDP || address.addressType == NT_TCP) &&
           address.addressLength == kPortBytes + 4;
}

}  // namespace

std::optional<std::string> netAddressText(const Net_Address_T& address) {
    const nuint8* bytes = address.address;
    if (bytes == nullptr) return std::nullopt;
    if (address.addressType == NT_IP && address.addressLength == 4) return dotted(bytes);
    if (isPortAddress(address)) return dotted(bytes + kPortBytes);
    if (address.addressType == NT_IPX && address.addressLength == 12)
        return upperHex(bytes, 4) + ":" + upperHex(bytes + 4, 6) + ":" + upperHex(bytes + 10, 2);
    return std::nullopt;
}

std::optional<std::uint16_t> netAddressPort(const Net_Address_T& address) {
    if (!isPortAddress(address)) return std::nullopt;
    return static_cast<std::uint16_t>(address.address[0] << 8 | address.address[1]);
}

}  // namespace nw::kit
