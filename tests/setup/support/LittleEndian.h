// Little-endian numbers appended to the bytes of a file the tests make.
#pragma once

#include <cstdint>
#include <string>

namespace kestrel::test {

inline void put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

inline void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

}  // namespace kestrel::test
