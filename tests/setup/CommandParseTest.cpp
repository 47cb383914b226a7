#include <gtest/gtest.h>

#include "commands/CommandParse.h"

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

}  // namespace
}  // namespace kestrel::setup::commands
