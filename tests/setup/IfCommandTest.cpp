#include <gtest/gtest.h>

#include "CommandFixture.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::test {
namespace {

// S1 and S2 leave their names in RAN, so the test sees which ran and in what order.
class IfCommandTest : public CommandFixture {
  protected:
    void SetUp() override {
        startCommands(
            "[S1]\nSet RAN=%RAN%S1\n[S2]\nSet RAN=%RAN%S2\n[Both]\nSet RAN=%RAN%a\n"
            "Set RAN=%RAN%b\n[Loop]\nIf 1 == 1 Then Loop\n");
    }
    // Which sections the line ran.
    std::string ran(std::string_view line, Direction direction = Direction::Install) {
        environment_.set("RAN", "");
        EXPECT_TRUE(run(line, direction)) << line;
        return env("RAN");
    }
};

TEST_F(IfCommandTest, NumbersVersionsAndTexts) {
    EXPECT_EQ(ran("If 10 > 9 Then S1"), "S1");
    EXPECT_EQ(ran("If 10 > 9a Then S1"), "");  // text: "1" sorts before "9"
    EXPECT_EQ(ran("If 2.0 > 1.9 Then S1"), "S1");
    EXPECT_EQ(ran("If 1.10 > 1.9 Then S1"), "");  // second parts as text
    EXPECT_EQ(ran("if -3 < 2 then S1 else S2 endif"), "S1");
    EXPECT_EQ(ran("If Abc == aBC Then S1 Else S2"), "S1");
    EXPECT_EQ(ran("If 1 ~ 1 Then S1 Else S2"), "S2");  // an unknown operator never holds
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(IfCommandTest, FunctionsOnTheMachineRootWithElse) {
    EXPECT_EQ(ran("If DoesFileExist(%App%\\x.ini) == 1 Then S1 Else S2"), "S2");
    fs::create_directories(host("C:\\Acme"));
    kestrel::test::writeFile(host("C:\\Acme\\X.INI"), "[x]");
    EXPECT_EQ(ran("If DoesFileExist (\"%App%\\x.ini\") == 1 Then S1 Else S2"), "S1");
    // Relative paths start in the current directory.
    ASSERT_TRUE(run("CD %App%"));
    EXPECT_EQ(ran("If DoesPathExist(x.ini) = 1 Then S1 Else S2"), "S1");
    // After a function call on the right, the next word counts as Then unread.
    EXPECT_EQ(ran("If 0 == DoesFileExist(nothing.ini) Whatever S1"), "S1");
}

// A function's argument runs to its matching parenthesis: a path with blanks and
// parentheses, from a directory variable or written out, is one argument.
TEST_F(IfCommandTest, AFunctionsArgumentKeepsItsBlanksAndParentheses) {
    const std::string folder = "C:\\Program Files (x86)\\Acme Tools";
    session_->variables().setDirectory("App", folder);
    fs::create_directories(host(folder));
    kestrel::test::writeFile(host(folder + "\\x.ini"), "[x]");
    EXPECT_EQ(ran("If DoesFileExist(%App%\\x.ini) == 1 Then S1 Else S2"), "S1");
    EXPECT_EQ(ran("If DoesFileExist(%App%\\y.ini) == 1 Then S1 Else S2"), "S2");
    EXPECT_EQ(ran("If DoesFileExist(" + folder + "\\x.ini) == 1 Then S1 Else S2"), "S1");
    EXPECT_EQ(ran("If 1 == DoesPathExist (C:\\Program Files (x86)) Then S1"), "S1");
    EXPECT_TRUE(ui_.shown.empty()) << ui_.shown.front().box.text;
}

TEST_F(IfCommandTest, AMissingOrWrongWordIsAnInvalidParameter) {
    for (const char* line : {"If a == a", "If a == a S1", "If a == a Than S1", "If a ==",
                             "If a == a Then S1 Otherwise S2", "If a == b Then S1 Else"}) {
        EXPECT_EQ(ran(line), "") << line;
    }
    ASSERT_EQ(ui_.numbers(), std::vector<int>(6, messages::kInvalidParameter));
    EXPECT_EQ(ui_.shown[0].box.text, "Invalid parameter in command 'If a == a'!");
}

TEST_F(IfCommandTest, SectionsRunInTheDirectionOfTheRun) {
    EXPECT_EQ(ran("If 1 == 1 Then Both"), "ab");
    EXPECT_EQ(ran("If 1 == 1 Then Both", Direction::Uninstall), "ba");
    EXPECT_FALSE(run("If 1 == 1 Then Nowhere"));
    EXPECT_EQ(ui_.shown.back().box.text, "Section 'Nowhere' not found!");
}

TEST_F(IfCommandTest, ASectionThatCallsItselfEndsWithOneMessage) {
    EXPECT_FALSE(run("If 1 == 1 Then Loop"));
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ui_.shown[0].box.text,
              "The command 'If 1 == 1 Then Loop' was not carried out: the sections that If "
              "runs call each other more than 64 deep.");
    // Counting its space ends as well, quietly.
    EXPECT_FALSE(commands_->interpreter().prescanSection(context(), "Loop"));
    EXPECT_EQ(ui_.shown.size(), 1u);
}

TEST_F(IfCommandTest, ThePrescanCountsTheChosenSections) {
    startCommands(
        "[Main]\n0:a.txt,a.txt,,100\nEcho not now\nIf 1 == 2 Then Big Else Small\n"
        "Set SIZE=big\n-If %SIZE% == big Then Big\nIf a == a\n[Big]\nIf 1 == 1 Then Small\n"
        "[Small]\n0:b.txt,b.txt,,7\n");
    spaces_ = {{"Big", 1000}, {"Small", 7}};
    EXPECT_EQ(commands_->interpreter().prescanSection(context(), "Main"), 7u + 1000u + 7u);
    EXPECT_EQ(env("SIZE"), "big");
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_EQ(commands_->interpreter().prescanSection(context(), "Nowhere"), 0u);
}

}  // namespace
}  // namespace kestrel::setup::test
