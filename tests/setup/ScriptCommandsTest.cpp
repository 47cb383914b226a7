#include <gtest/gtest.h>

#include "CommandFixture.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::test {
namespace {

using kestrel::test::readFile;
using kestrel::test::writeFile;

class ScriptCommandsTest : public CommandFixture {
  protected:
    void SetUp() override {
        startCommands("SetupName=Acme Setup\n[Prompts]\nNAME=Your name,Bob,Name:\n");
    }
};

TEST_F(ScriptCommandsTest, SetAndReplaceEnvInBothDirections) {
    ASSERT_TRUE(run("Set greeting = Hello %User%"));
    EXPECT_EQ(env("GREETING"), " Hello Alice Example");
    ASSERT_TRUE(run("-Set Greeting=", Direction::Install));
    EXPECT_EQ(env("GREETING"), "");
    environment_.set("Path", "%App%\\bin;C:\\windows");
    ASSERT_TRUE(run("ReplaceEnv path", Direction::Uninstall));
    EXPECT_EQ(env("PATH"), "C:\\Acme\\bin;C:\\windows");
    EXPECT_TRUE(run("Set NoValue"));
    EXPECT_EQ(ui_.shown.at(0).box.text, "Invalid parameter in command 'Set NoValue'!");
}

TEST_F(ScriptCommandsTest, DirectoriesAndDrivesChangeQuietly) {
    EXPECT_EQ(currentDirectory(), "C:\\setup");
    fs::create_directories(host("C:\\Acme\\Sub Dir"));
    ASSERT_TRUE(run("CD \\acme\\\"sub dir\""));
    EXPECT_EQ(currentDirectory(), "C:\\acme\\sub dir");
    ASSERT_TRUE(run("ChDir ..", Direction::Uninstall));
    EXPECT_EQ(currentDirectory(), "C:\\acme");
    ASSERT_TRUE(run("CD nowhere"));
    ASSERT_TRUE(run("Q:"));
    ASSERT_TRUE(run("c:"));
    EXPECT_EQ(currentDirectory(), "C:\\acme");
    ASSERT_TRUE(run("z:"));
    EXPECT_EQ(currentDirectory(), "Z:\\");
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ScriptCommandsTest, AppendAddsOncePerRunAndMakesTheDirectory) {
    source("part.txt", "one\r\n");
    ASSERT_TRUE(run("Append part.txt %App%\\logs\\all.txt"));
    ASSERT_TRUE(run("Append part.txt %App%\\logs\\all.txt"));
    EXPECT_EQ(readFile(host("C:\\Acme\\logs\\all.txt")), "one\r\none\r\n");
    session_->run().repeat = true;
    ASSERT_TRUE(run("Append part.txt %App%\\logs\\all.txt"));
    EXPECT_EQ(readFile(host("C:\\Acme\\logs\\all.txt")), "one\r\none\r\n");
    session_->run().repeat = false;
    EXPECT_FALSE(run("Append missing.txt %App%\\logs\\all.txt"));
    EXPECT_TRUE(run("Append part.txt"));
    ASSERT_EQ(ui_.shown.size(), 2u);
    EXPECT_EQ(ui_.shown[0].box.text, "Cannot open file 'C:\\setup\\missing.txt'!");
    EXPECT_EQ(ui_.shown[1].box.number, messages::kInvalidParameter);
}

TEST_F(ScriptCommandsTest, ReplaceVarsExpandsEveryLine) {
    fs::create_directories(host("C:\\Acme"));
    writeFile(host("C:\\Acme\\app.cfg"), "dir=%App%\nuser=%User%\r\n100%%\n");
    ASSERT_TRUE(run("ReplaceVars %App%\\app.cfg"));
    EXPECT_EQ(readFile(host("C:\\Acme\\app.cfg")), "dir=C:\\Acme\nuser=Alice Example\r\n100%\n");
    EXPECT_FALSE(run("ReplaceVars %App%\\none.cfg"));
    EXPECT_EQ(ui_.shown.at(0).box.text, "Cannot open file 'C:\\Acme\\none.cfg'!");
}

TEST_F(ScriptCommandsTest, EchoMeterAbortAndPrompt) {
    ASSERT_TRUE(run("Echo %App% is 100% done"));
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ui_.shown[0].box.caption, "Acme Setup");
    EXPECT_EQ(ui_.shown[0].box.text, "C:\\Acme is 100% done");
    ASSERT_TRUE(run("Echo at uninstallation only", Direction::Uninstall));
    session_->run().silent = true;
    ASSERT_TRUE(run("Echo silent"));
    EXPECT_EQ(ui_.shown.size(), 1u);

    copier_->meter().total = 1000;
    ASSERT_TRUE(run("AddMeter 250", Direction::Uninstall));
    EXPECT_EQ(copier_->meter().done, 250u);
    EXPECT_EQ(progress_->view().percent, 25);

    ui_.answerPage({PageResult::Next, {"Carol"}});
    ASSERT_TRUE(run("Prompt NAME"));
    EXPECT_FALSE(ui_.pages.back().backEnabled);
    EXPECT_EQ(env("NAME"), "Carol");
    ui_.answerPage({PageResult::Cancel});
    ui_.answer({buttons::kYes});
    EXPECT_FALSE(run("Prompt NAME", Direction::Uninstall));

    EXPECT_FALSE(run("-Abort"));
    EXPECT_TRUE(session_->run().abort);
}

}  // namespace
}  // namespace kestrel::setup::test
