#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace kestrel::platform {
namespace {

TEST(CodePage, Windows1252MapsItsPunctuationRange) {
    const CodePage& page = CodePage::windows1252();
    EXPECT_EQ(page.toUtf8("\x80 \x99 \x93x\x94 \x85 \xc4\xe4\xff"),
              "\u20ac \u2122 \u201cx\u201d \u2026 \u00c4\u00e4\u00ff");
    EXPECT_EQ(page.fromUtf8("\u20ac \u2122 \u201cx\u201d \u2026 \u00c4\u00e4\u00ff"),
              "\x80 \x99 \x93x\x94 \x85 \xc4\xe4\xff");
    // Characters the code page lacks become one '?' each, beyond the first plane too.
    EXPECT_EQ(page.fromUtf8("\u0416|\U0001F600|\u0152"), "?|?|\x8c");
}

TEST(CodePage, EveryByteSurvivesTheRoundTrip) {
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
    for (const unsigned number :
         {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u, 28591u}) {
        const CodePage* page = CodePage::byNumber(number);
        ASSERT_NE(page, nullptr) << number;
        EXPECT_EQ(page->number(), number);
        EXPECT_EQ(page->fromUtf8(page->toUtf8(bytes)), bytes) << number;
    }
    EXPECT_EQ(CodePage::byNumber(932), nullptr);  // multi-byte
    EXPECT_EQ(CodePage::byNumber(1251)->toUtf8("\xc0\xff"), "\u0410\u044f");
    EXPECT_EQ(CodePage::latin1().toUtf8("\x99\xe9"), "\u0099\u00e9");
}

}  // namespace
}  // namespace kestrel::platform
