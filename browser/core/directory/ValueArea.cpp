#include "ValueArea.h"

#include <algorithm>
#include <cstring>

#include "nwnet.h"

namespace kestrel::browser {

ValueArea::ValueArea(std::size_t valueSize) : bytes_(std::max(valueSize, kMinimumSize), 0) {}

std::string ValueArea::text() const {
    const char* start = reinterpret_cast<const char*>(bytes_.data());
    return std::string(start, strnlen(start, bytes_.size()));
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
    auto begin = reinterpret_cast<std::uintptr_t>(bytes_.data());
    auto data = reinterpret_cast<std::uintptr_t>(octets.data);
    if (count <= 0 || data < begin || data >= begin + bytes_.size()) return {};
    std::size_t offset = data - begin;
    std::size_t available =
        std::min<std::size_t>(static_cast<std::size_t>(count), bytes_.size() - offset);
    const char* start = reinterpret_cast<const char*>(bytes_.data() + offset);
    return std::string(start, strnlen(start, available));
}

}  // namespace kestrel::browser
