#include "platform/WineRegistryFile.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/WideText.h"

namespace kestrel::platform {
namespace {

const std::string kSample = KESTREL_SOURCE_DIR "/tests/data/setup/system.reg";

const RegistryKey* keyAt(const RegistryKey& root, std::initializer_list<std::string_view> path) {
    const RegistryKey* key = &root;
    for (const std::string_view name : path) {
        key = key ? key->subkey(name) : nullptr;
    }
    return key;
}

RegistryHive parseOrFail(std::string_view text) {
    auto hive = parseWineRegistry(text, "test.reg");
    EXPECT_TRUE(hive.has_value()) << (hive ? "" : hive.error().describe());
    return hive ? std::move(hive.value()) : RegistryHive{};
}

TEST(WineRegistryFile, HiveWrittenByWineComesBackByteForByte) {
    const std::string text = test::readFile(kSample);
    ASSERT_FALSE(text.empty());
    const RegistryHive hive = parseOrFail(text);
    EXPECT_EQ(serialiseWineRegistry(hive), text);
}

TEST(WineRegistryFile, ReadsEveryKindOfValue) {
    const RegistryHive hive = parseOrFail(test::readFile(kSample));
    const RegistryKey* app = keyAt(hive.root, {"software", "ACME", "app"});
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->seconds, 1700000000u);
    EXPECT_EQ(app->fileTime, 0x1da1b2c3d4e5f60u);
    EXPECT_EQ(app->value("")->textValue(), "Default text");
    EXPECT_EQ(app->value("Path")->textValue(), "C:\\Program Files\\Acme");
    EXPECT_EQ(*app->value("Expand"), RegistryValue::text(kRegExpandSz, "%ProgramFiles%\\Acme"));
    EXPECT_EQ(*app->value("List"), RegistryValue::multiString({"one", "two"}));
    EXPECT_EQ(app->value("Count")->dwordValue(), 42u);
    EXPECT_EQ(app->value("Binary")->data, "\xde\xad\xbe\xef");
    EXPECT_EQ(app->value("Long")->data.size(), 40u);
    EXPECT_EQ(app->value("Qword")->type, 11u);
    EXPECT_EQ(app->value("Quote \"x\"")->textValue(), "say \"hi\"\n\ttab");
    EXPECT_EQ(app->value("Unicode")->textValue(),
              "Gr\xc3\xbc\xc3\x9f"
              "e");
    EXPECT_EQ(app->value("Unterminated")->data, std::string("A\0B\0", 4));
    EXPECT_EQ(app->value("Empty")->textValue(), "");
    EXPECT_EQ(keyAt(hive.root, {"Software", "Acme", "App", "Sub[1]"})->value("Octal")->textValue(),
              "a\x01"
              "b\x01"
              "7");
    EXPECT_EQ(keyAt(hive.root, {"Software", "Classes", "CLSID"})->subkeys().size(), 1u);
    EXPECT_EQ(
        keyAt(hive.root, {"Software", "Classes", "CLSID", "{00000000-1111-2222-3333-444444444444}"})
            ->className,
        "Shell");
    const RegistryKey* link = keyAt(hive.root, {"System", "CurrentControlSet"});
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isLink);
    EXPECT_EQ(utf16ToUtf8(bytesToUtf16(link->value("SymbolicLinkValue")->data)),
              "\\Registry\\Machine\\System\\ControlSet001");
    EXPECT_EQ(hive.header, wineHiveHeader("\\\\Machine"));
}

TEST(WineRegistryFile, ToleratesCrLfRawUtf8AndUnknownLines) {
    const std::string text =
        "WINE REGISTRY Version 2\r\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\r\n"
        "\r\n#arch=win64\r\n\r\n[Software\\\\Caf\xc3\xa9] 1\r\n#future=option\r\n"
        "; a comment\r\n\"Name\"=\"na\xc3\xafve\"\r\n\"W\"=hex(7):61,00,00,\\\r\n  00,00,00\r\n";
    RegistryHive hive = parseOrFail(text);
    const RegistryKey* key = keyAt(hive.root, {"Software", "CAF\xc3\xa9"});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->value("name")->textValue(), "na\xc3\xafve");
    EXPECT_EQ(key->value("W")->data, std::string("a\0\0\0\0\0", 6));
    EXPECT_EQ(key->keptLines,
              (std::vector<RegistryKey::KeptLine>{{0, "#future=option"}, {0, "; a comment"}}));
    // Written back with LF and escapes, the unknown lines kept with their key.
    const std::string written = serialiseWineRegistry(hive);
    EXPECT_NE(written.find("[Software\\\\Caf\\xe9] 1\n#future=option\n; a comment\n"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("\"Name\"=\"na\\xefve\"\n"), std::string::npos) << written;
    EXPECT_NE(written.find("#arch=win64"), std::string::npos);
    const RegistryHive again = parseOrFail(written);
    EXPECT_EQ(serialiseWineRegistry(again), written);

    // A last line without its line break, a lone line break after the version line.
    const RegistryHive last = parseOrFail("WINE REGISTRY Version 2\n[A] 7\n\"x\"=dword:1");
    EXPECT_EQ(last.root.subkey("A")->value("x")->dwordValue(), 1u);
    EXPECT_TRUE(parseOrFail("WINE REGISTRY Version 2\n").root.subkeys().empty());
    EXPECT_EQ(serialiseWineRegistry(parseOrFail("WINE REGISTRY Version 2")),
              "WINE REGISTRY Version 2\n");
}

TEST(WineRegistryFile, WritesNewValuesTheWayWineDoes) {
    RegistryHive hive;
    hive.header = wineHiveHeader("\\\\Machine");
    RegistryKey& key = hive.root.ensureSubkey("Software").ensureSubkey("New");
    key.seconds = 5;
    key.setValue("Esc", RegistryValue::text(kRegSz, std::string("\x1b\x7f\\ \x02"
                                                                "1",
                                                                6)));
    key.setValue("Big", RegistryValue::text(kRegSz,
                                            "\xe2\x82\xac"
                                            "a\xe2\x82\xac"));
    key.setValue("None", RegistryValue::bytes(kRegNone, ""));
    key.setValue("D", RegistryValue::bytes(kRegDword, "\x01\x02"));  // not four bytes
    RegistryKey& hidden = hive.root.ensureSubkey("Volatile");
    hidden.isVolatile = true;
    hidden.setValue("x", RegistryValue::dword(1));
    EXPECT_EQ(serialiseWineRegistry(hive),
              "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n"
              "\n[Software\\\\New] 5\n"
              "\"Big\"=\"\\x20aca\\x20ac\"\n"
              "\"D\"=hex(4):01,02\n"
              "\"Esc\"=\"\\e\x7f\\\\ \\0021\"\n"
              "\"None\"=hex(0):\n");
}

TEST(WineRegistryFile, NamesEndingInAZeroSurviveASave) {
    // Raw zeros in names, as a damaged or hand-edited hive has them: each save used to take
    // the last one away as if it were a string's terminator.
    using namespace std::string_literals;
    const std::string text = "WINE REGISTRY Version 2\n\n[K\0]\n\"A\0\0\"=dword:00000001\n"s;
    const RegistryHive hive = parseOrFail(text);
    const std::string saved = serialiseWineRegistry(hive);
    const RegistryHive reread = parseOrFail(saved);
    const RegistryKey* key = keyAt(reread.root, {std::string_view("K\0", 2)});
    ASSERT_NE(key, nullptr) << saved;
    ASSERT_NE(key->value(std::string_view("A\0\0", 3)), nullptr) << saved;
    EXPECT_EQ(serialiseWineRegistry(reread), saved);
}

TEST(WineRegistryFile, ABackslashInsideHexDataIsNoContinuation) {
    // Read as a continuation, the backslash dropped the rest of the line when a blank line
    // followed; the line is one we cannot read, and is kept as it stands.
    const std::string line = "\"Q\"=hex(b):01,0\\\\Atp\\\\Sub\\00";
    const std::string text = "WINE REGISTRY Version 2\n\n[K]\n" + line + "\n\n[L]\n";
    const RegistryHive hive = parseOrFail(text);
    EXPECT_EQ(hive.warnings.size(), 1u);
    const std::string saved = serialiseWineRegistry(hive);
    EXPECT_NE(saved.find(line + "\n"), std::string::npos) << saved;
    EXPECT_EQ(serialiseWineRegistry(parseOrFail(saved)), saved);
}

TEST(WineRegistryFile, HexDataCutOffByTheEndOfTheFileIsAnEmptyValue) {
    // Kept as it stood, the line took in the blank line a save put after it, and so read
    // back as another value.
    const std::string head = "WINE REGISTRY Version 2\n[z]\n[K]\n";
    const RegistryHive hive = parseOrFail(head + "\"N\"=hex:01,\\");
    ASSERT_EQ(hive.warnings.size(), 1u);
    EXPECT_EQ(hive.warnings[0].line, 4u);
    EXPECT_EQ(hive.warnings[0].message, "hexadecimal data continues past the end of the file");
    const RegistryValue* value = keyAt(hive.root, {"K"})->value("N");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*value, RegistryValue{});
    const std::string saved = serialiseWineRegistry(hive);
    EXPECT_EQ(serialiseWineRegistry(parseOrFail(saved)), saved);
}

TEST(WineRegistryFile, CarriageReturnsAtLineEndsGoInTheFirstSave) {
    // A kept comment ending in several CRs lost one per save.
    const RegistryHive hive =
        parseOrFail("WINE REGISTRY Version 2\n\n[K]\n;x\r\r\r\n\"A\"=\"b\"\r\r\n");
    const std::string saved = serialiseWineRegistry(hive);
    EXPECT_NE(saved.find("\n;x\n"), std::string::npos) << saved;
    EXPECT_EQ(parseOrFail(saved).root.subkey("K")->value("A")->textValue(), "b");
    EXPECT_EQ(serialiseWineRegistry(parseOrFail(saved)), saved);
}

TEST(WineRegistryFile, OnlyTextsWithoutTheVersionLineAreRefused) {
    for (const std::string text : {"", "\n", "REGEDIT4\n[Key]\n"}) {
        auto parsed = parseWineRegistry(text, "bad.reg");
        ASSERT_FALSE(parsed.has_value()) << text;
        EXPECT_EQ(parsed.error().describe().substr(0, 12), "bad.reg:1:1:") << text;
    }
}

// Wine skips such lines with a warning and loads the rest; we keep them verbatim, so that a
// save loses nothing, and warn with the place of each.
TEST(WineRegistryFile, LinesWineSkipsAreKeptWithAWarning) {
    struct Case {
        std::string text;
        std::size_t line;
        std::size_t column;
    };
    const std::string head = "WINE REGISTRY Version 2\n";
    const Case cases[] = {
        {head + "garbage\n", 2, 1},
        {head + "\"x\"=\"orphan\"\n", 2, 1},
        {head + "[Key\n", 2, 5},
        {head + "[Key\n\"x\"=\"under no key\"\n", 3, 1},
        {head + "[Key]\n\"Name\"\"oops\"\n", 3, 7},
        {head + "[Key]\n\"Name\"=\"open\n", 3, 13},
        {head + "[Key]\n\"N\"=dword:xyz\n", 3, 11},
        {head + "[Key]\n\"N\"=hex:0g\n", 3, 10},
        {head + "[Key]\n\"N\"=hex(zz):01\n", 3, 5},
        {head + "[Key]\n\"N\"=float:1\n", 3, 5},
        {head + "[Key]\n  \"N\"=float:1\n", 3, 7},
        {head + "[Key]\n#time=nothex\n", 3, 7},
        {head + "[Key]\n\"N\"=\"a\" junk\n", 3, 8},
        {head + "[Key]\nwhat is this\n", 3, 1},
    };
    for (const Case& c : cases) {
        auto parsed = parseWineRegistry(c.text, "odd.reg");
        ASSERT_TRUE(parsed.has_value()) << c.text;
        ASSERT_FALSE(parsed->warnings.empty()) << c.text;
        const ParseError& warning = parsed->warnings.back();
        EXPECT_EQ(warning.file, "odd.reg");
        EXPECT_EQ(warning.line, c.line) << c.text;
        EXPECT_EQ(warning.column, c.column) << c.text;
        EXPECT_FALSE(warning.message.empty());
        const std::string lastLine = c.text.substr(c.text.rfind('\n', c.text.size() - 2) + 1);
        EXPECT_NE(serialiseWineRegistry(*parsed).find(lastLine), std::string::npos) << c.text;
    }
    // A value whose data could not be read gives way to the value set in its place.
    auto hive = parseWineRegistry(head + "[Key]\n\"N\"=float:1\n", "odd.reg");
    ASSERT_TRUE(hive.has_value());
    hive->root.ensureSubkey("Key").setValue("n", RegistryValue::dword(1));
    EXPECT_EQ(serialiseWineRegistry(*hive), head + "\n[Key]\n\"N\"=dword:00000001\n");
}

TEST(WideText, ConversionsKeepEveryCodeUnit) {
    const std::u16string odd = {u'a', 0xD800, u'b', 0xDFFF, 0xD83D, 0xDE00};
    EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(odd)), odd);
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16("\xf0\x9f\x98\x80")), "\xf0\x9f\x98\x80");
    // A byte that is not UTF-8 stands for the character of its number.
    EXPECT_EQ(utf8ToUtf16("\xe9"), u"\u00e9");
    EXPECT_EQ(bytesToUtf16(utf16ToBytes(u"xy")), u"xy");
    EXPECT_EQ(bytesToUtf16("abc"), u"\u6261");
}

}  // namespace
}  // namespace kestrel::platform
