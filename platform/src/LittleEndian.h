#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace kestrel::platform::detail {

// Little-endian numbers at an offset of a byte range, nullopt when they do not fit in it:
// the readers of Windows file formats check every access through these.
inline std::optional<std::uint16_t> readU16(std::span<const std::byte> bytes, std::size_t at) {
    if (at > bytes.size() || bytes.size() - at < 2) return std::nullopt;
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[at]) |
                                      std::to_integer<unsigned>(bytes[at + 1]) << 8);
}

inline std::optional<std::uint32_t> readU32(std::span<const std::byte> bytes, std::size_t at) {
    const auto low = readU16(bytes, at);
    const auto high = at <= SIZE_MAX - 2 ? readU16(bytes, at + 2) : std::nullopt;
    if (!low || !high) return std::nullopt;
    return static_cast<std::uint32_t>(*low | static_cast<std::uint32_t>(*high) << 16);
}

}  // namespace kestrel::platform::detail
