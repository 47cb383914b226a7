// Reading Quillbox.Cfg.
#include <gtest/gtest.h>

#include "ConfigFile.h"

namespace kestrel::rclog {
namespace {

struct Read {
    Settings settings;
    std::vector<std::string> messages;
};

Read read(const std::string& text) {
    Read result;
    result.messages = applyConfig(text, result.settings);
    return result;
}

std::string missing(int line) {
    return "At line #" + std::to_string(line) +
           ": Required parameter missing.\nOption on this line is skipped.";
}

TEST(ConfigFile, EmptyInputKeepsTheDefaults) {
    for (const char* text : {"", "\n", "\r\n", "   \n\t\n"}) {
        const Read r = read(text);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(r.settings.viewer, "WVIEWNT0.EXE");
        EXPECT_FALSE(r.settings.debug);
        EXPECT_TRUE(r.settings.notify);
        EXPECT_FALSE(r.settings.logDirectoryData);
        EXPECT_EQ(r.settings.logFileHome, "???");
    }
}

TEST(ConfigFile, KeysIgnoreCaseAndLoseBlanksAndComments) {
    const Read r = read(
        "# the logger's settings\n"
        "   ; an indented comment\n"
        "  rcviewer  =  Viewer Two.exe   # the second viewer\r\n"
        "LOGFILEHOME=\\\\Srv\\Vol\\Logs\n"
        "unknownkey = whatever\n");
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(r.settings.viewer, "Viewer Two.exe");
    EXPECT_EQ(r.settings.logFileHome, "\\\\Srv\\Vol\\Logs");  // value case kept
}

TEST(ConfigFile, OnAndOffInAnyCaseOtherWordsLeaveTheDefault) {
    EXPECT_TRUE(read("LogNDSInfo=on\n").settings.logDirectoryData);
    EXPECT_TRUE(read("LogNDSInfo=ON\n").settings.logDirectoryData);
    EXPECT_FALSE(read("LogNDSInfo=yes\n").settings.logDirectoryData);
    EXPECT_TRUE(read("Debug = On\n").settings.debug);
    EXPECT_FALSE(read("Notify=OFF\n").settings.notify);
    EXPECT_TRUE(read("Notify=no\n").settings.notify);
    // A later line overrides an earlier one.
    EXPECT_TRUE(read("Notify=Off\nNotify=On\n").settings.notify);
}

TEST(ConfigFile, SplitsAtEqualsAndHashAsTheReaderDoes) {
    EXPECT_TRUE(read("==Debug==On\n").settings.debug);
    EXPECT_TRUE(read("Debug=#On\n").settings.debug);
    EXPECT_TRUE(read("Debug=On=Off\n").settings.debug);
    EXPECT_EQ(read("LogFileHome=logs#old=place\n").settings.logFileHome, "logs");
}

TEST(ConfigFile, KeyWithoutValueNamesItsLineAndIsSkipped) {
    const Read r = read("# comment\n\nDebug\nNotify=\nLogNDSInfo = # nothing\nDebug=On\n");
    EXPECT_EQ(r.messages, (std::vector<std::string>{missing(3), missing(4), missing(5)}));
    EXPECT_TRUE(r.settings.debug);
    EXPECT_TRUE(r.settings.notify);
}

// Dropping a last line without line break would silently lose its setting.
TEST(ConfigFile, LastLineWithoutLineBreakIsRead) {
    EXPECT_FALSE(read("Debug=On\nNotify=Off").settings.notify);
    EXPECT_FALSE(read("Notify=Off\r").settings.notify);
    EXPECT_EQ(read("Debug=On\nNotify").messages, std::vector<std::string>{missing(2)});
}

TEST(ConfigFile, LimitsRefuseTheLineWithItsNumber) {
    const std::string home303(303, 'h');
    EXPECT_EQ(read("LogFileHome=" + home303).settings.logFileHome, home303);
    const Read longHome = read("LogFileHome=" + home303 + "h\n");
    EXPECT_EQ(longHome.settings.logFileHome, "???");
    EXPECT_EQ(longHome.messages.at(0),
              "At line #1: Value too long (more than 303 characters).\n"
              "Option on this line is skipped.");

    const std::string viewer99(99, 'v');
    EXPECT_EQ(read("RCViewer=" + viewer99).settings.viewer, viewer99);
    EXPECT_EQ(read("RCViewer=" + viewer99 + "v").settings.viewer, "WVIEWNT0.EXE");

    // 499 characters is the longest line, however it ends.
    const std::string line499 = "Notify=Off #" + std::string(499 - 12, 'c');
    EXPECT_FALSE(read(line499 + "\r\n").settings.notify);
    const Read tooLong = read("Debug=On\n" + line499 + "c\nLogNDSInfo=On\n");
    EXPECT_TRUE(tooLong.settings.notify);
    EXPECT_TRUE(tooLong.settings.logDirectoryData);
    EXPECT_EQ(tooLong.messages.at(0),
              "At line #2: Line too long (more than 499 characters).\n"
              "Option on this line is skipped.");
}

TEST(ConfigFile, LineEndsAtANulByte) {
    EXPECT_TRUE(read(std::string("Debug=On\0garbage\nNotify=Off\n", 28)).settings.debug);
    EXPECT_EQ(read(std::string("Debug\0=On\n", 10)).messages, std::vector<std::string>{missing(1)});
}

}  // namespace
}  // namespace kestrel::rclog
