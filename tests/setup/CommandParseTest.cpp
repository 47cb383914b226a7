#include <gtest/gtest.h>

#include "commands/CommandParse.h"
#include "script/BuiltinVariables.h"

namespace kestrel::setup::commands {
namespace {

using Strings = std::vector<std::string>;

TEST(CommandParse, QuotesGroupBlanksAndTheRestStaysAsWritten) {
    const auto line = parseExpandedCommandLine("Copy \"C:\\Program Files\\a b.txt\"  x\ty");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->word, "Copy");
    EXPECT_EQ(line->arguments, (Strings{"C:\\Program Files\\a b.txt", "x", "y"}));
    EXPECT_EQ(line->rest, "\"C:\\Program Files\\a b.txt\"  x\ty");
    EXPECT_FALSE(line->uninstallMarker);
    EXPECT_EQ(splitCommandTokens(" a\"b c\"d \"\" e"), (Strings{"ab cd", "", "e"}));
    // A quoted word keeps its blanks; the rest starts after it and one blank.
    const auto program = parseExpandedCommandLine("\"C:\\My App\\run.exe\" /s");
    EXPECT_EQ(program->word, "C:\\My App\\run.exe");
    EXPECT_EQ(program->rest, "/s");
}

TEST(CommandParse, MarkerFinalLineFeedAndEmptyLines) {
    const auto line = parseExpandedCommandLine("-Copy a b\n");
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->uninstallMarker);
    EXPECT_EQ(line->word, "Copy");
    EXPECT_EQ(line->text, "Copy a b");
    const auto bare = parseExpandedCommandLine("Abort");
    EXPECT_EQ(bare->rest, "");
    EXPECT_TRUE(bare->arguments.empty());
    for (const char* empty : {"", "\n", "-", "-\n", " \t "})
        EXPECT_FALSE(parseExpandedCommandLine(empty)) << '"' << empty << '"';
}

TEST(CommandParse, VariablesAreExpandedBeforeTheLineIsSplit) {
    MemoryEnvironment environment;
    environment.set("CMD", "-Echo");
    environment.set("DIR", "C:\\Program Files");
    const Expander expander({nullptr, &environment, nullptr, nullptr});
    const auto line = parseCommandLine("%CMD% hello world", expander);
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->uninstallMarker);
    EXPECT_EQ(line->word, "Echo");
    EXPECT_EQ(line->rest, "hello world");
    EXPECT_EQ(parseCommandLine("CD \"%DIR%\"", expander)->arguments, Strings{"C:\\Program Files"});
}

// The value of a directory variable is one path, blanks and parentheses included, wherever it
// stands in a token; other variables are split as they come, so that one may hold several
// arguments.
TEST(CommandParse, ADirectoryValueStaysInItsToken) {
    BuiltinVariables variables;
    variables.setDirectory("App", "C:\\Program Files (x86)\\Beacon Monitor");
    variables.set("Programs", "C:\\users\\ann\\Start Menu\\Programs");
    MemoryEnvironment environment;
    environment.set("FLAGS", "/q /log");
    environment.set("TOOLS", "D:\\Acme Tools\\");
    const Expander expander({&variables, &environment, nullptr, nullptr});
    EXPECT_EQ(parseCommandLine("MD %App%\\Logs", expander)->arguments,
              Strings{"C:\\Program Files (x86)\\Beacon Monitor\\Logs"});
    EXPECT_EQ(parseCommandLine("Copy %Programs%\\x.lnk %TOOLS%\\x.lnk", expander)->arguments,
              (Strings{"C:\\users\\ann\\Start Menu\\Programs\\x.lnk", "D:\\Acme Tools\\x.lnk"}));
    EXPECT_EQ(parseCommandLine("tool.exe %FLAGS% \"%App%\"", expander)->arguments,
              (Strings{"/q", "/log", "C:\\Program Files (x86)\\Beacon Monitor"}));

    // As a program's command line the place is quoted, once, and what was quoted stays so.
    const auto call = parseCommandLine("Call %App%\\BEACON.EXE %FLAGS% \"a b\" %App%", expander);
    EXPECT_EQ(call->restAsCommandLine(),
              "\"C:\\Program Files (x86)\\Beacon Monitor\\BEACON.EXE\" /q /log \"a b\" "
              "\"C:\\Program Files (x86)\\Beacon Monitor\"");
    const auto quoted = parseCommandLine("\"%App%\\BEACON.EXE\" /s", expander);
    EXPECT_EQ(quoted->word, "C:\\Program Files (x86)\\Beacon Monitor\\BEACON.EXE");
    EXPECT_EQ(quoted->textAsCommandLine(),
              "\"C:\\Program Files (x86)\\Beacon Monitor\\BEACON.EXE\" /s");
    // Without a place that holds a blank the line goes as written.
    EXPECT_EQ(parseCommandLine("Call x.exe  \"a\"b", expander)->restAsCommandLine(),
              "x.exe  \"a\"b");
}

}  // namespace
}  // namespace kestrel::setup::commands
