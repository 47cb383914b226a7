#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/ProfileFunctions.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;
using Names = std::vector<std::string>;

TEST(ProfileDocument, SerialisesEveryByteItParsed) {
    for (const std::string text :
         {"", "\r\n", "\n", "[a]", "[a]\r\nk=v", "\xEF\xBB\xBF[a]\r\nx=1\r\n", "\x1a\r\n",
          "; comment\r\n[a]\n  k = v  \r\n\r\nno equals\r\n[b\r\n=\r\n"}) {
        EXPECT_EQ(ProfileDocument::parse(text).serialise(), text);
    }
}

TEST(ProfileDocument, ReadsLikeTheWindowsProfileFunctions) {
    const auto doc = ProfileDocument::parse(
        "k=before any section\r\n"
        "[ Settings ]\r\n"
        "  Name  =  Kestrel Scope  \r\n"
        "Quoted=\"  spaced  \"\r\n"
        "Single='x'\r\n"
        "Mismatched=\"x'\r\n"
        "Lone=\"\r\n"
        "Empty=\r\n"
        "NAME=duplicate\r\n"
        "no equals sign\r\n"
        ";Comment=1\r\n"
        "[sub]section] trailing\r\n"
        "=nameless\r\n"
        "[settings]\r\n"
        "Other=in the duplicate section");
    EXPECT_EQ(doc.get("settings", " NAME "), "Kestrel Scope");
    EXPECT_EQ(doc.get("Settings", "quoted"), "  spaced  ");
    EXPECT_EQ(doc.get("Settings", "Single"), "x");
    EXPECT_EQ(doc.get("Settings", "Mismatched"), "\"x'");
    EXPECT_EQ(doc.get("Settings", "Lone"), "\"");
    EXPECT_EQ(doc.get("Settings", "Empty"), "");
    for (const char* missing : {"Other", "no equals sign", ";Comment"}) {
        EXPECT_EQ(doc.get("Settings", missing), std::nullopt) << missing;
    }
    EXPECT_EQ(doc.get("", "k"), std::nullopt);
    EXPECT_EQ(doc.get("sub]section", ""), "nameless");
    EXPECT_EQ(doc.sectionNames(), (Names{"Settings", "sub]section"}));
    EXPECT_EQ(doc.keys("SETTINGS"),
              (Names{"Name", "Quoted", "Single", "Mismatched", "Lone", "Empty"}));
    EXPECT_EQ(doc.keys("sub]section"), Names{});
}

TEST(ProfileDocument, EditsChangeOnlyTheirOwnLines) {
    auto doc = ProfileDocument::parse("; header\r\n[a]\r\nx = 1\r\n; about a\r\n\r\n[b]\r\ny=2");
    ASSERT_TRUE(doc.set("A", " X ", "10"));
    ASSERT_TRUE(doc.set("a", "new", "n"));
    ASSERT_TRUE(doc.set("b", "z", "3"));
    ASSERT_TRUE(doc.set("c", "k", "v"));
    EXPECT_EQ(doc.serialise(),
              "; header\r\n[a]\r\nx = 10\r\nnew=n\r\n; about a\r\n\r\n[b]\r\ny=2\r\nz=3\r\n"
              "\r\n[c]\r\nk=v");
    EXPECT_TRUE(doc.remove("a", "X"));
    EXPECT_FALSE(doc.remove("a", "X"));
    EXPECT_TRUE(doc.removeSection("C"));
    // The blank line that separated [c] stays, now as the unterminated last line.
    EXPECT_EQ(doc.serialise(),
              "; header\r\n[a]\r\nnew=n\r\n; about a\r\n\r\n[b]\r\ny=2\r\nz=3\r\n");

    auto duplicates = ProfileDocument::parse("[a]\r\nk=1\r\nK=2\r\n[A]\r\nk=3\r\n[b]\r\n");
    EXPECT_TRUE(duplicates.remove("a", "k"));
    EXPECT_EQ(duplicates.get("a", "k"), std::nullopt);
    EXPECT_TRUE(duplicates.removeSection("a"));
    EXPECT_EQ(duplicates.serialise(), "[b]\r\n");
}

TEST(ProfileDocument, RepeatedKeysAndSectionsTakenAwayAsTheyCame) {
    const std::string original = "[386Enh]\r\ndevice=a.386\r\n; end\r\n\r\n[x]\r\nk=1";
    auto doc = ProfileDocument::parse(original);
    ASSERT_TRUE(doc.addLine("386enh", "device", "b.386"));
    ASSERT_TRUE(doc.addLine("386Enh", "DEVICE", "a.386"));
    ASSERT_TRUE(doc.addLine("new", "device", "c.386"));
    EXPECT_FALSE(doc.addLine("new", "device", "two\nlines"));
    EXPECT_TRUE(doc.hasLine("386Enh", "Device", " B.386 "));
    EXPECT_EQ(doc.serialise(),
              "[386Enh]\r\ndevice=a.386\r\ndevice=b.386\r\nDEVICE=a.386\r\n; end\r\n\r\n"
              "[x]\r\nk=1\r\n\r\n[new]\r\ndevice=c.386");
    EXPECT_TRUE(doc.removeLine("386Enh", "device", "A.386"));  // both lines of a.386
    EXPECT_FALSE(doc.removeLine("386Enh", "device", "a.386"));
    EXPECT_TRUE(doc.removeLine("new", "device", "c.386"));
    EXPECT_FALSE(doc.removeEmptySection("386Enh"));  // b.386 is still there
    EXPECT_TRUE(doc.removeEmptySection("new"));
    EXPECT_TRUE(doc.removeLine("386Enh", "device", "b.386"));
    EXPECT_EQ(doc.serialise(), "[386Enh]\r\n; end\r\n\r\n[x]\r\nk=1");
    // Not the last section: the blank line before it belongs to the one above.
    EXPECT_TRUE(doc.removeEmptySection("386Enh"));
    EXPECT_EQ(doc.serialise(), "[x]\r\nk=1");
}

TEST(ProfileDocument, NewLinesFollowTheFilesLineBreaks) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[a]\nx=1\n", "[a]\nx=1\ny=2\n"},
        {"", "[a]\r\ny=2\r\n"},
        {"\r\n", "\r\n[a]\r\ny=2\r\n"},
        {"x\n", "x\n\n[a]\ny=2\n"},
    };
    for (const auto& [before, after] : cases) {
        auto doc = ProfileDocument::parse(before);
        doc.set("a", "y", "2");
        EXPECT_EQ(doc.serialise(), after);
    }
}

TEST(ProfileDocument, RefusesWhatALineCannotHold) {
    auto doc = ProfileDocument::parse("[a]\r\n");
    EXPECT_FALSE(doc.set("a", "k", "two\r\nlines"));
    EXPECT_FALSE(doc.set("a\nb", "k", "x"));
    for (const char* key : {"k=v", ";k", "[k]", " "}) EXPECT_FALSE(doc.set("a", key, "x")) << key;
    EXPECT_EQ(doc.serialise(), "[a]\r\n");
}

TEST(ProfileDocument, AddKeepsEveryLineOfARepeatedKeyInOrder) {
    auto doc = ProfileDocument::parse("[Rename]\r\nC:\\A.DLL=C:\\A.000\r\n[Other]\r\n");
    EXPECT_TRUE(doc.addLine("rename", "C:\\A.DLL", "C:\\A.001"));
    EXPECT_TRUE(doc.addLine("Rename", "NUL", "C:\\B.TXT"));
    EXPECT_EQ(doc.serialise(),
              "[Rename]\r\nC:\\A.DLL=C:\\A.000\r\nC:\\A.DLL=C:\\A.001\r\nNUL=C:\\B.TXT\r\n"
              "[Other]\r\n");
    using Entry = std::pair<std::string, std::string>;
    EXPECT_EQ(doc.entries("RENAME"),
              (std::vector<Entry>{
                  {"C:\\A.DLL", "C:\\A.000"}, {"C:\\A.DLL", "C:\\A.001"}, {"NUL", "C:\\B.TXT"}}));
    EXPECT_FALSE(doc.addLine("Rename", "k=v", "x"));
}

class ProfileFile : public ::testing::Test {
  protected:
    test::TempDir dir_;
    fs::path ini_ = dir_ / "TEST.INI";
};

TEST_F(ProfileFile, ReadsCutToTheBufferAndParseIntegers) {
    writeFile(ini_, "[s]\r\nk=value\r\n");
    EXPECT_EQ(getProfileString(ini_, "s", "k", "", 6), "value");
    EXPECT_EQ(getProfileString(ini_, "s", "k", "", 5), "valu");
    EXPECT_EQ(getProfileString(ini_, "s", "k", "", 1), "");
    EXPECT_EQ(getProfileString(ini_, "s", "k", "", 0), "");
    EXPECT_EQ(getProfileString(ini_, "s", "missing", "one two  ", 100), "one two");
    EXPECT_EQ(getProfileString(ini_, "s", "missing", "default", 4), "def");
    EXPECT_EQ(getProfileString(dir_ / "none.ini", "s", "k", "dflt", 100), "dflt");

    const std::vector<std::pair<std::string, unsigned>> numbers = {
        {"-1", 4294967295u}, {"+1", 1},  {"4294967297", 1}, {"-4294967297", 4294967295u},
        {"42A94967297", 42}, {"B42", 0}, {"'12'", 12},      {"\"\"", 99}};
    for (const auto& [value, expected] : numbers) {
        writeFile(ini_, "[s]\r\nk=" + value + "\r\n");
        EXPECT_EQ(getProfileInt(ini_, "s", "k", 99), expected) << value;
    }
    EXPECT_EQ(getProfileInt(ini_, "s", "missing", -1), 4294967295u);
}

TEST_F(ProfileFile, WritesCreateDeleteAndEnumerate) {
    const fs::path nested = dir_ / "new/dir/X.INI";
    ASSERT_TRUE(writeProfileString(nested, "Section", "Key", "Value"));
    ASSERT_TRUE(writeProfileString(nested, "section", "Other", "2"));
    EXPECT_EQ(readFile(nested), "[Section]\r\nKey=Value\r\nOther=2\r\n");
    EXPECT_EQ(getProfileSectionNames(nested), Names{"Section"});
    EXPECT_EQ(getProfileKeys(nested, "SECTION"), (Names{"Key", "Other"}));
    ASSERT_TRUE(writeProfileString(nested, "Section", "key", std::nullopt));
    ASSERT_TRUE(deleteProfileSection(nested, "SECTION"));
    EXPECT_EQ(readFile(nested), "");

    // The lock is the folder's: nothing is left beside the file.
    std::vector<fs::path> entries(fs::directory_iterator(nested.parent_path()), {});
    EXPECT_EQ(entries, std::vector<fs::path>{nested});

    // Deleting from a file that is not there creates nothing.
    const fs::path missing = dir_ / "missing/X.INI";
    EXPECT_TRUE(writeProfileString(missing, "s", "k", std::nullopt));
    EXPECT_TRUE(deleteProfileSection(missing, "s"));
    EXPECT_FALSE(fs::exists(missing.parent_path()));
}

TEST_F(ProfileFile, FailuresReturnFalseAndKeepTheFile) {
    fs::create_directory(ini_);  // unreadable as a file: must not be replaced
    EXPECT_FALSE(writeProfileString(ini_, "s", "k", "v"));
    EXPECT_TRUE(fs::is_directory(ini_));
    writeFile(dir_ / "kept.ini", "[s]\n");
    EXPECT_FALSE(writeProfileString(dir_ / "kept.ini", "s", "bad=key", "v"));
    EXPECT_EQ(readFile(dir_ / "kept.ini"), "[s]\n");
}

// Two processes adding keys at once: the lock and the atomic replace lose none of them.
TEST_F(ProfileFile, ConcurrentWritersLoseNoKey) {
    constexpr int kKeys = 40;
    EXPECT_TRUE(test::runInProcesses(2, [&](int writer) {
        bool ok = true;
        for (int i = 0; i < kKeys; ++i) {
            ok = writeProfileString(ini_, "s", std::to_string(writer * kKeys + i), "v") && ok;
        }
        return ok;
    }));
    EXPECT_EQ(getProfileKeys(ini_, "s").size(), 2u * kKeys);
}

}  // namespace
}  // namespace kestrel::platform
