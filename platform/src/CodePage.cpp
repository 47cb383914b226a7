#include "platform/CodePage.h"

#include "CodePageTables.h"
#include "platform/WideText.h"

namespace kestrel::platform {

namespace {

constexpr std::array<char16_t, 128> kLatin1 = [] {
    std::array<char16_t, 128> high{};
    for (std::size_t i = 0; i < high.size(); ++i) high[i] = static_cast<char16_t>(0x80 + i);
    return high;
}();

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

const CodePage& CodePage::windows1252() {
    static const CodePage page(1252, codepages::kWindows1252);
    return page;
}

const CodePage& CodePage::latin1() {
    static const CodePage page(28591, kLatin1);
    return page;
}

const CodePage* CodePage::byNumber(unsigned number) {
    static const CodePage pages[] = {
        {874, codepages::kWindows874},
        {1250, codepages::kWindows1250},
        {1251, codepages::kWindows1251},
        {1252, codepages::kWindows1252},
        {1253, codepages::kWindows1253},
        {1254, codepages::kWindows1254},
        {1255, codepages::kWindows1255},
        {1256, codepages::kWindows1256},
        {1257, codepages::kWindows1257},
        {1258, codepages::kWindows1258},
        {28591, kLatin1},
    };
    for (const CodePage& page : pages) {
        if (page.number_ == number) return &page;
    }
    return nullptr;
}

std::string CodePage::toUtf8(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, byte < 0x80 ? char32_t{byte} : char32_t{(*high_)[byte - 0x80]});
    }
    return out;
}

std::string CodePage::fromUtf8OrBytes(std::string_view text) const {
    // Invalid UTF-8 does not survive the way there and back.
    const bool utf8 = utf16ToUtf8(utf8ToUtf16(text)) == text;
    return utf8 ? fromUtf8(text) : std::string(text);
}

std::string CodePage::fromUtf8(std::string_view text) const {
    const std::u16string wide = utf8ToUtf16(text);
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const char16_t unit = wide[i];
        char byte = '?';
        if (unit < 0x80) {
            byte = static_cast<char>(unit);
        } else {
            for (std::size_t b = 0; b < high_->size(); ++b) {
                if ((*high_)[b] == unit) {
                    byte = static_cast<char>(0x80 + b);
                    break;
                }
            }
        }
        out += byte;
        // A character beyond the BMP is one '?', not two.
        if (isHighSurrogate(unit) && i + 1 < wide.size() && isLowSurrogate(wide[i + 1])) ++i;
    }
    return out;
}

}  // namespace kestrel::platform
