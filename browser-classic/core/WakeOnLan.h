// The Wake-on-LAN datagram: the hardware address comes from the workstation's registered
// IPX address, whose node number is the network card's address.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kestrel::classic {

using HardwareAddress = std::array<std::uint8_t, 6>;

inline constexpr std::size_t kWakeOnLanSize = 109;

// The twelve hexadecimal digits after the eight-digit network number and its colon
// ("01010000:00A0C9123456:4006"), in either case; nullopt when they are not there.
std::optional<HardwareAddress> hardwareAddressFromIpx(std::string_view ipxAddress);

// 6 bytes 0xFF, the hardware address 16 times, 6 bytes 0xFF and one byte 0x00.
std::vector<std::uint8_t> wakeOnLanDatagram(const HardwareAddress& address);

}  // namespace kestrel::classic
