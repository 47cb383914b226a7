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

}  // namespace

std::optional<std::string> netAddressText(const Net_Address_T& address) {
    const nuint8* bytes = address.address;
    if (bytes == nullptr) return std::nullopt;
    if (address.addressType == NT_IP && address.addressLength == 4) {
        char text[16];
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
        return std::string(text);
    }
    if (address.addressType == NT_IPX && address.addressLength == 12)
        return upperHex(bytes, 4) + ":" + upperHex(bytes + 4, 6) + ":" + upperHex(bytes + 10, 2);
    return std::nullopt;
}

}  // namespace nw::kit
