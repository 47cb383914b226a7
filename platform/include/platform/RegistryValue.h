#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"

namespace kestrel::platform {

// Registry value types; any other number is kept and written back as it came.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegLink = 6;
inline constexpr std::uint32_t kRegMultiSz = 7;

bool isStringType(std::uint32_t type);

// One value as the system stores it: strings as UTF-16LE with their terminating zero(s),
// numbers little-endian, everything else as raw bytes.
struct RegistryValue {
    std::uint32_t type = kRegNone;
    std::string data;

    // A string type holding `text` (UTF-8) with its terminating zero.
    static RegistryValue text(std::uint32_t type, std::string_view text);
    // The strings, each with its zero, and one more zero closing the list.
    static RegistryValue multiString(const std::vector<std::string>& strings);
    static RegistryValue dword(std::uint32_t number);
    static RegistryValue bytes(std::uint32_t type, std::string_view bytes);
    // What a program that speaks bytes (the ANSI functions) hands over: string types are
    // converted from the code page, terminators included, everything else is stored as given.
    static RegistryValue fromNarrow(std::uint32_t type, std::string_view narrowData,
                                    const CodePage& codePage);

    // The inverse of fromNarrow: what a program that speaks bytes reads back.
    std::string narrowData(const CodePage& codePage) const;
    // The text (UTF-8) of a string value without its terminating zero (for REG_MULTI_SZ the zeros
    // between the strings stay).
    std::string textValue() const;
    // REG_DWORD as a number (0 when the data is not four bytes).
    std::uint32_t dwordValue() const;

    bool operator==(const RegistryValue&) const = default;
};

}  // namespace kestrel::platform
