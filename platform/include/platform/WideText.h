#pragma once

#include <string>
#include <string_view>

namespace kestrel::platform {

// Windows keeps registry text as UTF-16; our programs speak UTF-8. The conversions never
// fail and lose nothing that the other side can hold: a byte that is not valid UTF-8 stands
// for the character of the same number (as in Latin-1), and a lone surrogate travels as its
// three-byte form, so UTF-16 -> UTF-8 -> UTF-16 gives back every code unit.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// The little-endian bytes of UTF-16 code units, as Windows stores them; an odd last byte
// is dropped when reading.
std::string utf16ToBytes(std::u16string_view text);
std::u16string bytesToUtf16(std::string_view bytes);

// Appends the UTF-8 form of one code point (surrogates included, see above).
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace kestrel::platform
