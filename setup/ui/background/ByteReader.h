// Little-endian fields of a picture file, read only where the file has them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrel::setup {

class ByteReader {
  public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    std::optional<std::uint16_t> u16(std::size_t at) const {
        if (at > bytes_.size() || bytes_.size() - at < 2) return std::nullopt;
        return static_cast<std::uint16_t>(byte(at) | byte(at + 1) << 8);
    }
    std::optional<std::uint32_t> u32(std::size_t at) const {
        const auto low = u16(at), high = u16(at + 2);
        if (!low || !high) return std::nullopt;
        return static_cast<std::uint32_t>(*low) | static_cast<std::uint32_t>(*high) << 16;
    }
    std::optional<std::int16_t> i16(std::size_t at) const {
        const auto value = u16(at);
        if (!value) return std::nullopt;
        return static_cast<std::int16_t>(*value);
    }
    std::optional<std::int32_t> i32(std::size_t at) const {
        const auto value = u32(at);
        if (!value) return std::nullopt;
        return static_cast<std::int32_t>(*value);
    }

  private:
    unsigned byte(std::size_t at) const { return static_cast<unsigned char>(bytes_[at]); }
    std::string_view bytes_;
};

}  // namespace kestrel::setup
