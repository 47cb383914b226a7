#include <gtest/gtest.h>

#include "commands/Command.h"

namespace kestrel::setup::commands {
namespace {

TEST(CommandState, PathsResolveAsWindowsResolvesThem) {
    const CommandState state{"C:\\setup"};
    EXPECT_EQ(state.absolutePath("a.txt"), "C:\\setup\\a.txt");
    EXPECT_EQ(state.absolutePath("\\win\\a.txt"), "C:\\win\\a.txt");
    EXPECT_EQ(state.absolutePath("D:\\x"), "D:\\x");
    EXPECT_EQ(state.absolutePath("d:x"), "d:\\x");
    EXPECT_EQ(state.absolutePath("c:x"), "C:\\setup\\x");
    EXPECT_EQ(state.absolutePath("\\\\server\\share\\x"), "\\\\server\\share\\x");
    EXPECT_EQ(state.absolutePath(""), "C:\\setup");
    EXPECT_EQ(CommandState{"C:\\"}.absolutePath("x"), "C:\\x");
}

TEST(CommandTable, WordsIgnoreCaseAndUnknownWordsFallBack) {
    CommandTable table;
    EXPECT_EQ(table.find("notepad"), nullptr);
    table.add("MkDir", {.handler = [](CommandCall&) { return true; }, .needsArgument = true});
    table.setFallback({.handler = [](CommandCall&) { return false; }});
    ASSERT_NE(table.find("MKDIR"), nullptr);
    EXPECT_TRUE(table.find("mkdir")->needsArgument);
    EXPECT_FALSE(table.find("notepad")->needsArgument);
}

}  // namespace
}  // namespace kestrel::setup::commands
