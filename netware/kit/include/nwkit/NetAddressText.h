// The texts people know network addresses by, for values of the network-address syntax.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "nwnet.h"

namespace nw::kit {

// An IP address of four bytes in dotted decimal (192.168.1.1); a UDP or TCP address of six
// bytes (the port, then the IP address, both in network order) as the IP address of the host
// it names, which is what a ping or a viewer needs; an IPX address of twelve bytes as network,
// node and socket in capital hexadecimal (01010000:00A0C9123456:4006). Other types and
// lengths have no such text.
std::optional<std::string> netAddressText(const Net_Address_T& address);

// The port of a UDP or TCP address that netAddressText shows.
std::optional<std::uint16_t> netAddressPort(const Net_Address_T& address);

}  // namespace nw::kit
