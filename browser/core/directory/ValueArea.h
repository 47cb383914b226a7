// The memory one attribute value is read into, and the ways the readers look at it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::browser {

class ValueArea {
  public:
    static constexpr std::size_t kMinimumSize = 256;

    // Zeroed, at least kMinimumSize bytes, more when the value needs it.
    explicit ValueArea(std::size_t valueSize = 0);
    // Moves only: an octet value points into its own bytes, which a copy would not carry.
    ValueArea(ValueArea&&) = default;
    ValueArea& operator=(ValueArea&&) = default;
    ValueArea(const ValueArea&) = delete;
    ValueArea& operator=(const ValueArea&) = delete;

    void* data() { return bytes_.data(); }
    std::size_t size() const { return bytes_.size(); }

    // The area as a zero-terminated text; an unterminated area ends at its last byte.
    std::string text() const;
    // The first 32 bits, as a number or time value is stored.
    std::uint32_t number() const;
    // The bytes of an octet string as characters: the count is the lowest byte of the length
    // taken as signed (so 128 or more gives nothing), and a zero byte ends the text early.
    std::string octetText() const;

  private:
    std::vector<unsigned char> bytes_;
};

}  // namespace kestrel::browser
