#include "ValueText.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "nwkit/NetAddressText.h"

namespace nwdir {

namespace {

std::string hex(const nuint8* bytes, std::size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back(digits[bytes[i] >> 4]);
        text.push_back(digits[bytes[i] & 15]);
    }
    return text;
}

std::string addressText(const Net_Address_T& address) {
    auto text = nw::kit::netAddressText(address);
    if (!text)
        return "type " + std::to_string(address.addressType) +
               " hex:" + hex(address.address, address.addressLength);
    if (auto port = nw::kit::netAddressPort(address))
        return (address.addressType == NT_TCP ? "TCP " : "UDP ") + *text + ":" +
               std::to_string(*port);
    return (address.addressType == NT_IP ? "IP " : "IPX ") + *text;
}

std::string timeText(nuint32 seconds) {
    std::time_t when = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace

std::string valueText(nuint32 syntax, const void* area) {
    nuint32 number = 0;
    switch (syntax) {
        case SYN_INTEGER:
        case SYN_COUNTER:
        case SYN_INTERVAL:
        case SYN_BOOLEAN:
            std::memcpy(&number, area, sizeof number);
            return std::to_string(number);
        case SYN_TIME:
            std::memcpy(&number, area, sizeof number);
            return timeText(number);
        case SYN_OCTET_STRING: {
            const auto* octets = static_cast<const Octet_String_T*>(area);
            return "hex:" + hex(octets->data, octets->length);
        }
        case SYN_NET_ADDRESS:
            return addressText(*static_cast<const Net_Address_T*>(area));
        default:
            return static_cast<const char*>(area);
    }
}

}  // namespace nwdir
