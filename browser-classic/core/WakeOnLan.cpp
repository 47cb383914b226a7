#include "WakeOnLan.h"

#include <algorithm>

namespace kestrel::classic {

namespace {

constexpr std::size_t kNodeOffset = 9;  // "01010000:"

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::optional<HardwareAddress> hardwareAddressFromIpx(std::string_view ipxAddress) {
    if (ipxAddress.size() < kNodeOffset + 12) return std::nullopt;
    HardwareAddress address{};
    for (std::size_t i = 0; i < address.size(); ++i) {
        int high = hexDigit(ipxAddress[kNodeOffset + 2 * i]);
        int low = hexDigit(ipxAddress[kNodeOffset + 2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        address[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return address;
}

std::vector<std::uint8_t> wakeOnLanDatagram(const HardwareAddress& address) {
    std::vector<std::uint8_t> datagram(6, 0xFF);
    for (int i = 0; i < 16; ++i) datagram.insert(datagram.end(), address.begin(), address.end());
    datagram.insert(datagram.end(), 6, 0xFF);
    datagram.push_back(0x00);
    return datagram;
}

}  // namespace kestrel::classic
