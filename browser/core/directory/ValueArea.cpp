#include "directory/ValueArea.h"

#include <algorithm>
#include <cstring>

#include "nwkit/NetAddressText.h"
#include "nwnet.h"

namespace kestrel::browser {

ValueArea::ValueArea(std::size_t valueSize, std::uint32_t syntax)
    : bytes_(std::max(valueSize, kMinimumSize), 0), syntax_(syntax) {}

bool ValueArea::holds(const void* pointer) const {
    auto begin = reinterpret_cast<std::uintptr_t>(bytes_.data());
    auto at = reinterpret_cast<std::uintptr_t>(pointer);
    return at >= begin && at < begin + bytes_.size();
}

std::string ValueArea::text() const {
    const char* start = reinterpret_cast<const char*>(bytes_.data());
    return std::string(start, strnlen(start, bytes_.size()));
}

std::string ValueArea::shownText() const {
    if (syntax_ != SYN_NET_ADDRESS) return text();
    Net_Address_T address{};
    std::memcpy(&address, bytes_.data(), sizeof address);
    // Only an address whose bytes the client placed inside this area is read.
    const auto* end =
        reinterpret_cast<const unsigned char*>(address.address) + address.addressLength;
    if (!holds(address.address) || end > bytes_.data() + bytes_.size()) return {};
    return nw::kit::netAddressText(address).value_or(std::string());
}

std::uint32_t ValueArea::number() const {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes_.data(), sizeof value);
    return value;
}

std::string ValueArea::octetText() const {
    Octet_String_T octets{};
    std::memcpy(&octets, bytes_.data(), sizeof octets);
    auto count = static_cast<std::int8_t>(octets.length & 0xFF);
    // Only data the client placed inside this area is read.
    if (count <= 0 || !holds(octets.data)) return {};
    auto offset = static_cast<std::size_t>(octets.data - bytes_.data());
    std::size_t available =
        std::min<std::size_t>(static_cast<std::size_t>(count), bytes_.size() - offset);
    const char* start = reinterpret_cast<const char*>(bytes_.data() + offset);
    return std::string(start, strnlen(start, available));
}

}  // namespace kestrel::browser
