// The fixed text lengths of the logger's fields, applied without cutting a UTF-8 character.
#pragma once

#include <cstddef>
#include <string>

namespace kestrel::rclog {

inline std::string limitText(std::string text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    // Back off over continuation bytes to the start of the character that does not fit.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

}  // namespace kestrel::rclog
