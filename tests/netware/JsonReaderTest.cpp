#include "JsonReader.h"

#include <gtest/gtest.h>

using nw::JsonKind;
using nw::JsonReader;
using nw::JsonSyntaxError;

namespace {

std::string failure(std::string_view text) {
    try {
        JsonReader reader(text);
        reader.skipValue();
        reader.finish();
    } catch (const JsonSyntaxError& e) {
        return std::to_string(e.line) + ":" + std::to_string(e.column) + ": " + e.message;
    }
    return "accepted";
}

}  // namespace

TEST(JsonReader, StringsAreUnescapedToUtf8) {
    JsonReader reader(R"(["plain", "tab\there \"quoted\" \\ \/", "\u00e9\u20ac\ud83d\ude00"])");
    reader.beginArray();
    ASSERT_TRUE(reader.nextElement());
    EXPECT_EQ(reader.readString(), "plain");
    ASSERT_TRUE(reader.nextElement());
    EXPECT_EQ(reader.readString(), "tab\there \"quoted\" \\ /");
    ASSERT_TRUE(reader.nextElement());
    EXPECT_EQ(reader.readString(), "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
    EXPECT_FALSE(reader.nextElement());
    reader.finish();
}

TEST(JsonReader, NumbersKeepSignMagnitudeAndKind) {
    JsonReader reader("[-2147483648, 18446744073709551615, 18446744073709551616, 1.5, 2e3]");
    reader.beginArray();
    auto next = [&] {
        EXPECT_TRUE(reader.nextElement());
        return reader.readNumber();
    };
    auto n = next();
    EXPECT_TRUE(n.negative && n.integral && !n.overflow);
    EXPECT_EQ(n.magnitude, 2147483648u);
    EXPECT_FALSE(next().overflow);
    EXPECT_TRUE(next().overflow);
    EXPECT_FALSE(next().integral);
    EXPECT_FALSE(next().integral);
    EXPECT_FALSE(reader.nextElement());
}

TEST(JsonReader, BadTextIsPlacedByLineAndColumn) {
    EXPECT_EQ(failure("[1,\n 2,]"), "2:4: unexpected ']'; expected a value");
    EXPECT_EQ(failure("{\"a\" 1}"), "1:6: unexpected '1'; expected ':'");
    EXPECT_EQ(failure("[\"\x01\"]"), "1:2: control character in a string");
    EXPECT_EQ(failure("[\"open"), "1:2: unterminated string");
    EXPECT_EQ(failure("[01]"), "1:2: leading zero in a number");
    EXPECT_EQ(failure("[\"\\ud800x\"]"),
              "1:2: invalid \\u escape (high surrogate without its low half)");
    EXPECT_EQ(failure("[tru]"), "1:2: invalid literal");
    EXPECT_EQ(failure(std::string(100, '[')), "1:65: nested too deeply");
    EXPECT_EQ(failure("{} {}"), "1:4: unexpected '{'; expected end of input");
}
