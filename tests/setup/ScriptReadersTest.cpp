#include <gtest/gtest.h>

#include "TestSupport.h"
#include "messages/MessageStrings.h"
#include "script/Fields.h"
#include "script/ScriptText.h"

namespace kestrel::setup {
namespace {

std::vector<std::string> texts(const std::vector<ScriptLine>& lines) {
    std::vector<std::string> result;
    for (const ScriptLine& line : lines) result.push_back(line.text);
    return result;
}

using Lines = std::vector<std::string>;

TEST(ScriptSections, HeadersMatchWithoutCaseAndMustBeginTheLine) {
    const ScriptText script = ScriptText::fromText(
        "[application]\r\nA=1\r\n  [Indented]\r\nB=2\r\n[Files] ; comment\nC=3\n"
        "[Files]\nD=4\n[Last]\nE=5",
        "t.inf");
    EXPECT_EQ(texts(script.sectionLines("Application", 256)),
              Lines{"A=1"});  // ends at the indented header
    EXPECT_FALSE(script.hasSection("Indented"));
    EXPECT_EQ(texts(script.sectionLines("FILES", 256)), Lines{"C=3"});  // the first one counts
    EXPECT_EQ(texts(script.sectionLines("Last", 256)), Lines{"E=5"});   // no final line break
    EXPECT_FALSE(script.hasSection("File"));
    EXPECT_FALSE(script.hasSection("Files]"));

    // The first line counts for the index; other files are searched as plain text.
    const ScriptText plain = ScriptText::fromText("x=1 [Inline]\nY=2\n", "x.ini", false);
    EXPECT_EQ(texts(plain.sectionLines("inline", 256)), Lines{"Y=2"});
    const ScriptText indexed = ScriptText::fromText("x=1 [Inline]\nY=2\n", "x.inf");
    EXPECT_FALSE(indexed.hasSection("Inline"));

    for (const char* empty : {"", "\n", "\r\n", "[S]", "[S]\n", "[S]\r\n\r\n"}) {
        EXPECT_TRUE(ScriptText::fromText(empty, "e").sectionLines("S", 256).empty()) << empty;
    }
    EXPECT_EQ(ScriptText::fromText("a\0b", "z").text(), "a");
}

TEST(ScriptLines, CommentsContinuationAndLimits) {
    const ScriptText script = ScriptText::fromText(
        "[S]\n; comment\n  \t line one \nCopy a \\\r\n    b \\\n\tc\n;kept\\\nlast\\", "t.inf");
    auto pos = script.findSection("S");
    ASSERT_TRUE(pos);
    auto comment = script.readLine(*pos, 256, false, true);
    EXPECT_EQ(comment->text, "");
    EXPECT_EQ(script.readLine(*pos, 256, true, true)->text, "; comment");
    auto one = script.readLine(comment->next, 256, false, true);
    EXPECT_EQ(one->text, "line one ");
    auto joined = script.readLine(one->next, 256, false, true);
    EXPECT_EQ(joined->text, "Copy a b c");
    EXPECT_EQ(script.readLine(one->next, 256, false, false)->text, "Copy a \\");
    auto kept = script.readLine(joined->next, 256, true, true);
    EXPECT_EQ(kept->text, ";kept\\");  // comments do not continue
    auto last = script.readLine(kept->next, 256, false, true);
    EXPECT_EQ(last->text, "last\\");  // nothing follows to join
    EXPECT_FALSE(script.readLine(last->next, 256, false, true));

    // At most size - 1 characters; the rest of the line is skipped, also when continued.
    const ScriptText longLines =
        ScriptText::fromText("[S]\n" + std::string(255, 'a') + "\n" + std::string(300, 'b') +
                                 "\\\n" + std::string(10, 'c') + "\nnext",
                             "t.inf");
    const std::vector<ScriptLine> lines = longLines.sectionLines("S", 256, true);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, std::string(255, 'a'));
    EXPECT_EQ(lines[1].text, std::string(255, 'b'));
    EXPECT_EQ(lines[2].text, "next");
    EXPECT_EQ(longLines.readLine(*longLines.findSection("S"), 0, false, false)->text, "");
}

TEST(ScriptKeys, BlanksCaseFirstMatchAndLimits) {
    const std::string longKey(260, 'k');
    const ScriptText script = ScriptText::fromText(
        "[Application]\n  AskDir   =   1   \nASKDIR=2\nNoEquals\n; Hidden=1\n" + longKey +
            "=x\n"
            "Empty=\nLong=" +
            std::string(400, 'v') + "\nQuoted = \"a b\" \n",
        "t.inf");
    EXPECT_EQ(script.readValue("Application", "askdir"), "1");
    EXPECT_EQ(script.readValue("application", " AskDir "), "1");
    EXPECT_EQ(script.readValue("Application", "Hidden"), std::nullopt);
    EXPECT_EQ(script.readValue("Application", longKey), std::nullopt);  // "=" beyond 255
    EXPECT_EQ(script.readValue("Application", "Empty"), "");
    EXPECT_EQ(script.readValue("Application", "Missing"), std::nullopt);
    EXPECT_EQ(script.readValue("Nowhere", "AskDir"), std::nullopt);
    EXPECT_EQ(script.readValue("Application", "Long")->size(), 255u);
    EXPECT_EQ(script.readValue("Application", "Long", 1000)->size(), 400u);
    EXPECT_EQ(script.readValue("Application", "Quoted"), "\"a b\"");
}

TEST(ScriptFields, QuotesAndEmptyFields) {
    EXPECT_EQ(splitFields("a, 'b,c' , \"say \"\"hi\"\"\" tail,  d  ,"),
              (Lines{"a", "b,c", "say \"hi\"", "d  "}));
    EXPECT_EQ(splitFields(",x,,'',\"\"\r\nignored"), (Lines{"", "x", "", "", ""}));
    FieldReader reader(" '' , , \"unclosed, text");
    auto quoted = reader.next();
    EXPECT_TRUE(quoted->quoted);
    EXPECT_EQ(quoted->text, "");
    auto missing = reader.next();
    EXPECT_FALSE(missing->quoted);
    EXPECT_EQ(reader.next()->text, "unclosed, text");
    EXPECT_FALSE(reader.next());
    EXPECT_FALSE(FieldReader("").next());
    EXPECT_EQ(FieldReader(std::string(300, 'f')).next()->text.size(), 255u);
}

TEST(ScriptNumbers, LeadingNumbersHexAndFlags) {
    EXPECT_EQ(readNumber("1"), 1);
    EXPECT_EQ(readNumber("Yes"), 0);
    EXPECT_EQ(readNumber(" -12abc"), -12);
    EXPECT_EQ(readNumber("4294967297"), 1);
    EXPECT_EQ(readHex("ff0000"), 0xFF0000u);
    EXPECT_EQ(readHex(" 0x1F"), 0x1Fu);
    EXPECT_EQ(readHex("zz"), 0u);
    EXPECT_EQ(readDecimalOrHex("0x10001"), 0x10001u);
    EXPECT_EQ(readDecimalOrHex("65537"), 0x10001u);
    const std::vector<FlagName> table = {{"BOLD", 0x40}, {"SHADOW", 0x200}};
    EXPECT_EQ(*parseFlags("bold|Shadow", table), 0x240u);
    EXPECT_EQ(*parseFlags("BOLD+8)SHADOW", table), 0x248u);
    EXPECT_EQ(*parseFlags("", table), 0u);
    EXPECT_EQ(parseFlags("BOLD|BLINK", table).error(), "BLINK");
    EXPECT_EQ(unescapeText("a\\nb\\\\n\\x"), "a\r\nb\\n\\x");
}

TEST(ScriptLoading, MissingAndUnreadableScripts) {
    kestrel::test::TempDir dir;
    auto missing = ScriptText::load(dir / "none.inf", "C:\\none.inf");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().message, messages::kCannotOpenFile);
    EXPECT_EQ(missing.error().path, "C:\\none.inf");
    auto directory = ScriptText::load(dir.path(), "C:\\dir");
    ASSERT_FALSE(directory);
    EXPECT_EQ(directory.error().message, messages::kCannotReadFile);
    kestrel::test::writeFile(dir / "ok.inf", std::string("[S]\nA=1\0junk", 12));
    auto ok = ScriptText::load(dir / "ok.inf", "C:\\ok.inf");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->readValue("S", "A"), "1");
    EXPECT_EQ(ok->lineNumberAt(ok->text().size()), 2u);
}

}  // namespace
}  // namespace kestrel::setup
