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

    // Zeroed, at least kMinimumSize bytes, more when the value needs it; `syntax` is the
    // attribute syntax of the value read into it.
    explicit ValueArea(std::size_t valueSize = 0, std::uint32_t syntax = 0);
    // Moves only: an octet value points into its own bytes, which a copy would not carry.
    ValueArea(ValueArea&&) = default;
    ValueArea& operator=(ValueArea&&) = default;
    ValueArea(const ValueArea&) = delete;
    ValueArea& operator=(const ValueArea&) = delete;

    void* data() { return bytes_.data(); }
    std::size_t size() const { return bytes_.size(); }

    // The area as a zero-terminated text; an unterminated area ends at its last byte.
    std::string text() const;
    // What a text field shows of the value: a network address as the text people know it by
    // (dotted decimal for IP; nothing for a kind without one), every other value as text().
    std::string shownText() const;
    // The first 32 bits, as a number or time value is stored.
    std::uint32_t number() const;
    // The bytes of an octet string as characters: the count is the lowest byte of the length
    // taken as signed (so 128 or more gives nothing), and a zero byte ends the text early.
    std::string octetText() const;

  private:
    // Whether `pointer` points at one of the area's own bytes.
    bool holds(const void* pointer) const;

    std::vector<unsigned char> bytes_;
    std::uint32_t syntax_ = 0;
};

}  // namespace kestrel::browser
