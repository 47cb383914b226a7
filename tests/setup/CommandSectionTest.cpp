#include <gtest/gtest.h>

#include "CommandFixture.h"

namespace kestrel::setup::test {
namespace {

using kestrel::test::readFile;

// File lines and command lines of one section, read by the file section reader, installed
// and then uninstalled on the machine root.
class CommandSectionTest : public CommandFixture {};

TEST_F(CommandSectionTest, CommandsRunInLineOrderAndBackwardsAtUninstallation) {
    startCommands(
        "[Files]\n0:a.txt,a.txt\nSet STEPS=%STEPS%1\nCD %App%\n"
        "Extract C:\\setup\\conf.src app.ini Main\n-Append C:\\setup\\bye.txt %App%\\bye.log\n"
        "If DoesFileExist(a.txt) == 1 Then Extra\nSet STEPS=%STEPS%2\n"
        "[Extra]\n0:b.txt,b.txt\nSet STEPS=%STEPS%x\n");
    source("a.txt", "a");
    source("b.txt", "b");
    source("conf.src", "[Main]\nname=%User%\n");
    source("bye.txt", "bye\n");

    ASSERT_TRUE(install("Files"));
    EXPECT_EQ(env("STEPS"), "1x2");
    EXPECT_EQ(readFile(host("C:\\Acme\\app.ini")), "name=Alice Example\r\n");
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\b.txt")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\bye.log")));

    // The directory the commands were in is where they go on from.
    environment_.set("STEPS", "");
    ASSERT_TRUE(uninstall("Files"));
    EXPECT_EQ(env("STEPS"), "2x1");
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\a.txt")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\b.txt")));
    EXPECT_EQ(readFile(host("C:\\Acme\\bye.log")), "bye\n");
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\app.ini")));
    EXPECT_TRUE(ui_.shown.empty());
}

// The space of a section counts its file lines, the section its If chooses and what Set
// changes for the lines after it, without running anything else.
TEST_F(CommandSectionTest, ExpectedSizesFollowIfAndSetThroughThePreScan) {
    startCommands(
        "[Main]\n0:a.txt,a.txt,,100\nSet PART=Extra\nIf 1 == 1 Then %PART%\nMD %App%\\made\n"
        "If 1 == 2 Then Other\n[Extra]\n0:b.txt,b.txt,,50\n[Other]\n0:c.txt,c.txt,,7\n");
    const commands::CommandRun plain(context(), *reader_, *actions_.services, *prompts_);
    EXPECT_EQ(reader_->expectedSize("Main"), 150u);
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\made")));
    EXPECT_TRUE(ui_.shown.empty());
}

// The action commands answer through the same table: a word that is no command starts a
// program and goes on at once; `-Copy a b` copies only at uninstallation.
TEST_F(CommandSectionTest, ActionCommandsAndProgramsRunFromTheSameLines) {
    startCommands("[Files]\nnotepad readme.txt\n-Copy C:\\setup\\a.txt %App%\\b.txt\n");
    source("a.txt", "a");
    ASSERT_TRUE(install("Files"));
    ASSERT_EQ(starter_.starts.size(), 1u);
    EXPECT_EQ(starter_.starts[0].commandLine, "notepad readme.txt");
    EXPECT_FALSE(starter_.starts[0].wait);
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\b.txt")));
    ASSERT_TRUE(uninstall("Files"));
    EXPECT_EQ(starter_.starts.size(), 1u);
    EXPECT_EQ(readFile(host("C:\\Acme\\b.txt")), "a");
}

}  // namespace
}  // namespace kestrel::setup::test
