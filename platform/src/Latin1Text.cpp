#include "Latin1Text.h"

#include "platform/WideText.h"

namespace kestrel::platform {

std::string latin1FromUtf8(std::string_view text) {
    const std::u16string wide = utf8ToUtf16(text);
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const char16_t unit = wide[i];
        out += unit < 0x100 ? static_cast<char>(unit) : '?';
        // A character beyond the BMP is one '?', not two.
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            ++i;
        }
    }
    return out;
}

std::string utf8FromLatin1(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

}  // namespace kestrel::platform
