#include <gtest/gtest.h>

#include "CommandFixture.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::test {
namespace {

using kestrel::test::readFile;
using kestrel::test::writeFile;

class ExtractCommandTest : public CommandFixture {
  protected:
    void SetUp() override {
        startCommands("[Extract]\nA=Main,Tools\nB=Docs\n");
        session_->variables().set("Option", "Tools");
        source("conf.src",
               "[Common]\n;; for the script's writer only\npath=%App%\n;A debug=1\n"
               ";B trace=1\n; plain comment\n[Other]\nx=1\n");
        fs::create_directories(host("C:\\Acme"));
    }
    std::string target() { return readFile(host("C:\\Acme\\app.ini")); }
};

TEST_F(ExtractCommandTest, SectionsWithConditionalLinesAndAppending) {
    ASSERT_TRUE(run("Extract conf.src %App%\\app.ini Common"));
    EXPECT_EQ(target(), "path=C:\\Acme\r\n   debug=1\r\n;B trace=1\r\n; plain comment\r\n");
    ASSERT_TRUE(run("Extract conf.src %App%\\app.ini Other /a"));
    EXPECT_EQ(target(), "path=C:\\Acme\r\n   debug=1\r\n;B trace=1\r\n; plain comment\r\nx=1\r\n");
    ASSERT_TRUE(run("Extract conf.src %App%\\app.ini Other+Other"));
    EXPECT_EQ(target(), "x=1\r\nx=1\r\n");
    // Without a component nothing is switched on.
    session_->variables().set("Option", "");
    ASSERT_TRUE(run("Extract conf.src %App%\\app.ini Common"));
    EXPECT_EQ(target(), "path=C:\\Acme\r\n;A debug=1\r\n;B trace=1\r\n; plain comment\r\n");
    // Nothing happens when the installer uninstalls.
    ASSERT_TRUE(run("Extract conf.src %App%\\app.ini Other", Direction::Uninstall));
    EXPECT_EQ(target(), "path=C:\\Acme\r\n;A debug=1\r\n;B trace=1\r\n; plain comment\r\n");
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ExtractCommandTest, LongLinesAreWrittenWhole) {
    const std::string line = "key=" + std::string(600, 'v');
    source("long.src", "[S]\n" + line + "\n");
    ASSERT_TRUE(run("Extract long.src %App%\\app.ini S"));
    EXPECT_EQ(target(), line + "\r\n");
}

TEST_F(ExtractCommandTest, FailuresSayWhatAndLeaveTheTargetAsItWas) {
    writeFile(host("C:\\Acme\\app.ini"), "mine");
    source("binary.src", std::string("[S]\nMZ\0\0\x90", 10));
    EXPECT_FALSE(run("Extract conf.src %App%\\app.ini Common+Nowhere"));
    EXPECT_FALSE(run("Extract missing.src %App%\\app.ini S"));
    EXPECT_FALSE(run("Extract binary.src %App%\\app.ini S"));
    EXPECT_FALSE(run("Extract conf.src %App%\\no\\app.ini Common"));
    EXPECT_TRUE(run("Extract conf.src %App%\\app.ini /A"));
    ASSERT_EQ(ui_.shown.size(), 5u);
    EXPECT_EQ(ui_.shown[0].box.text, "Section 'Nowhere' not found!");
    EXPECT_EQ(ui_.shown[1].box.text, "Cannot open file 'C:\\setup\\missing.src'!");
    EXPECT_EQ(ui_.shown[2].box.text, "Cannot read from file 'C:\\setup\\binary.src'!");
    EXPECT_TRUE(ui_.shown[3].box.text.starts_with("Cannot create file 'C:\\Acme\\no\\app.ini'!\n"))
        << ui_.shown[3].box.text;
    EXPECT_EQ(ui_.shown[4].box.number, messages::kInvalidParameter);
    EXPECT_EQ(target(), "mine");
}

}  // namespace
}  // namespace kestrel::setup::test
