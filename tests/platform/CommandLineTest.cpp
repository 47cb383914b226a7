#include "platform/CommandLine.h"

#include <gtest/gtest.h>

#include <random>

namespace kestrel::platform {
namespace {

using Argv = std::vector<std::string>;

struct SplitCase {
    std::string line;
    Argv argv;
};

TEST(SplitCommandLine, FollowsTheCRuntimeRules) {
    const std::vector<SplitCase> cases = {
        {"", {}},
        {"prog", {"prog"}},
        {"prog a\tb  c ", {"prog", "a", "b", "c"}},
        {R"("C:\Program Files\x.exe" arg)", {R"(C:\Program Files\x.exe)", "arg"}},
        // argv[0]: quotes group anywhere, backslashes never escape.
        {R"(C:\a" b"\c\" d)", {R"(C:\a b\c\ d)"}},
        {R"(p"x\"y z)", {R"(px\y)", "z"}},
        // Leading blank: argv[0] is empty and the line supplies arguments only.
        {" a b", {"", "a", "b"}},
        {"\tx", {"", "x"}},
        {R"(p "a b" c)", {"p", "a b", "c"}},
        {R"(p a\\b c\d)", {"p", R"(a\\b)", R"(c\d)"}},
        {R"(p a\"b)", {"p", R"(a"b)"}},
        {R"(p a\\"b c")", {"p", R"(a\b c)"}},
        {R"(p a\\\"b)", {"p", R"(a\"b)"}},
        {R"(p "a\\" b)", {"p", R"(a\)", "b"}},
        {R"(p "a""b" c)", {"p", R"(a"b)", "c"}},
        {R"(p """")", {"p", R"(")"}},
        {R"(p a""b)", {"p", "ab"}},
        {R"(p "" x)", {"p", "", "x"}},
        {R"(p "unterminated arg)", {"p", "unterminated arg"}},
        {R"(p trailing\)", {"p", R"(trailing\)"}},
        {std::string("p a\0b c", 7), {"p", "a"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(splitCommandLine(c.line), c.argv) << "command line: " << c.line;
    }
}

TEST(QuoteArgument, QuotesOnlyWhenNeeded) {
    EXPECT_EQ(quoteArgument("plain"), "plain");
    EXPECT_EQ(quoteArgument(R"(C:\dir\)"), R"(C:\dir\)");
    EXPECT_EQ(quoteArgument(""), R"("")");
    EXPECT_EQ(quoteArgument("a b"), R"("a b")");
    EXPECT_EQ(quoteArgument(R"(a b\)"), R"("a b\\")");
    EXPECT_EQ(quoteArgument(R"(say "hi")"), R"("say \"hi\"")");
    EXPECT_EQ(quoteArgument(R"(x\"y)"), R"(x\\\"y)");
}

TEST(QuoteArgument, AQuotedSwitchValueStaysOneArgument) {
    EXPECT_EQ(quotedArgument("WS17.Sales.Acme"), R"("WS17.Sales.Acme")");
    EXPECT_EQ(quotedArgument(R"(dir\)"), R"("dir\\")");
    const std::string line = "prog -w" + quotedArgument(R"(x" -c"Chat)") + " -nT";
    EXPECT_EQ(splitCommandLine(line), (std::vector<std::string>{"prog", R"(-wx" -c"Chat)", "-nT"}));
}

TEST(JoinCommandLine, ProgramNameIsQuotedWithoutEscapes) {
    EXPECT_EQ(joinCommandLine({R"(C:\Program Files\app\)", "x"}), R"("C:\Program Files\app\" x)");
    EXPECT_EQ(joinCommandLine({"", "a"}), R"("" a)");
    EXPECT_EQ(joinCommandLine({}), "");
}

TEST(CommandTail, ArgumentsAreJoinedBySingleBlanksAsWritten) {
    const char* argv[] = {"kestrelscope", "OU=My Unit.O=Acme", "/nosave", "/Inv=1.2.3.4"};
    EXPECT_EQ(commandTail(4, argv), "OU=My Unit.O=Acme /nosave /Inv=1.2.3.4");
    EXPECT_EQ(commandTail(1, argv), "");
    EXPECT_EQ(commandTail(0, argv), "");
    // Words quoted for the command line keep their quotes and split back as written.
    const Argv words{R"(C:\ZEN\WVIEWNT.EXE)", R"(-w"WS1.My Unit")", R"(-c"Remote Control")", ""};
    const std::string line = joinWithBlanks(words);
    EXPECT_EQ(line, R"(C:\ZEN\WVIEWNT.EXE -w"WS1.My Unit" -c"Remote Control" )");
    EXPECT_EQ(splitCommandLine(line),
              (Argv{R"(C:\ZEN\WVIEWNT.EXE)", "-wWS1.My Unit", "-cRemote Control"}));
}

// Random argv of blanks, quotes, backslashes and letters must survive join then split.
TEST(JoinCommandLine, RoundTripsRandomArguments) {
    std::mt19937 random(20240611);
    const std::string alphabet = "ab \t\"\\\\\\x'";
    auto randomString = [&](bool programName) {
        std::string s;
        const int length = std::uniform_int_distribution<int>(0, 12)(random);
        for (int i = 0; i < length; ++i) {
            const char c = alphabet[random() % alphabet.size()];
            if (!(programName && c == '"')) s += c;
        }
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        Argv argv{randomString(true)};
        const int count = std::uniform_int_distribution<int>(0, 5)(random);
        for (int i = 0; i < count; ++i) argv.push_back(randomString(false));
        const std::string line = joinCommandLine(argv);
        ASSERT_EQ(splitCommandLine(line), argv) << "joined: " << line;
    }
}

}  // namespace
}  // namespace kestrel::platform
