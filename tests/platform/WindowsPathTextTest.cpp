#include "platform/WindowsPathText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {
namespace {

using Seps = PathSeparators;
using Pairs = std::vector<std::pair<std::string_view, std::string_view>>;

constexpr std::string_view kBlanksPath = "C:\\Program Files (x86)\\App\\a b.txt";

TEST(WindowsPathText, SplitsAtTheLastSeparatorOfItsKind) {
    struct Row {
        std::string_view path;
        Seps separators;
        std::string_view directory, name, directoryKeepingRoot;
    };
    const std::vector<Row> rows = {
        {"", Seps::Backslash, "", "", ""},
        {"a.txt", Seps::Backslash, "", "a.txt", ""},
        {"C:\\", Seps::Backslash, "C:", "", "C:\\"},
        {"C:\\a.txt", Seps::Backslash, "C:", "a.txt", "C:\\"},
        {"\\a.txt", Seps::Backslash, "", "a.txt", ""},
        {"C:\\Acme\\", Seps::Backslash, "C:\\Acme", "", "C:\\Acme"},
        {"\\\\server\\share\\x", Seps::Backslash, "\\\\server\\share", "x", "\\\\server\\share"},
        {kBlanksPath, Seps::Backslash, "C:\\Program Files (x86)\\App", "a b.txt",
         "C:\\Program Files (x86)\\App"},
        // Which separators count decides where a mixed path splits.
        {"C:\\Acme/a.txt", Seps::Backslash, "C:", "Acme/a.txt", "C:\\"},
        {"C:\\Acme/a.txt", Seps::BackslashOrSlash, "C:\\Acme", "a.txt", "C:\\"},
        {"A:SETUP.INF", Seps::BackslashOrSlash, "", "A:SETUP.INF", ""},
        {"A:SETUP.INF", Seps::BackslashOrColon, "A", "SETUP.INF", ""},
        {"A:\\d/SETUP.INF", Seps::BackslashOrColon, "A:", "d/SETUP.INF", "A:\\"},
        {"A:\\d/SETUP.INF", Seps::BackslashSlashOrColon, "A:\\d", "SETUP.INF", "A:\\"},
        // UTF-8 bytes are never taken for separators.
        {"C:\\Caf\xc3\xa9\\\xc3\xa9.txt", Seps::BackslashSlashOrColon, "C:\\Caf\xc3\xa9",
         "\xc3\xa9.txt", "C:\\Caf\xc3\xa9"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.path) + " / " + std::to_string(int(row.separators)));
        EXPECT_EQ(directoryPart(row.path, row.separators), row.directory);
        EXPECT_EQ(fileNamePart(row.path, row.separators), row.name);
        EXPECT_EQ(directoryPartKeepingRoot(row.path), row.directoryKeepingRoot);
    }
}

TEST(WindowsPathText, TrailingBackslashesGoOneOrAll) {
    struct Row {
        std::string_view path, withoutOne, withoutAll;
    };
    for (const Row& row :
         std::vector<Row>{{"", "", ""},
                          {"\\", "\\", ""},
                          {"\\\\", "\\", ""},
                          {"C:\\", "C:", "C:"},
                          {"C:\\Acme\\\\", "C:\\Acme\\", "C:\\Acme"},
                          {"C:\\Acme/", "C:\\Acme/", "C:\\Acme/"},
                          {"\\\\server\\share\\", "\\\\server\\share", "\\\\server\\share"},
                          {kBlanksPath, kBlanksPath, kBlanksPath}}) {
        SCOPED_TRACE(std::string(row.path));
        EXPECT_EQ(withoutTrailingBackslash(row.path), row.withoutOne);
        EXPECT_EQ(withoutTrailingBackslashes(row.path), row.withoutAll);
    }
}

TEST(WindowsPathText, JoinsWithOneSeparator) {
    struct Row {
        std::string_view directory, name, joined;
    };
    for (const Row& row :
         std::vector<Row>{{"", "a.txt", "a.txt"},
                          {"C:", "a.txt", "C:\\a.txt"},
                          {"C:\\", "a.txt", "C:\\a.txt"},
                          {"C:\\Acme/", "a.txt", "C:\\Acme/a.txt"},
                          {"C:\\Acme", "", "C:\\Acme\\"},
                          {"\\\\server\\share", "x", "\\\\server\\share\\x"},
                          {"C:\\Program Files (x86)\\App", "a b.txt", kBlanksPath}}) {
        SCOPED_TRACE(std::string(row.directory) + " + " + std::string(row.name));
        EXPECT_EQ(joinWindowsPath(row.directory, row.name), row.joined);
    }
}

TEST(WindowsPathText, ExtensionsMatchWithoutAsciiCase) {
    const std::vector<std::pair<std::string_view, bool>> rows = {
        {"", false},
        {"dsn", false},
        {".dsn", true},
        {"C:\\a\\D.DSN", true},
        {"C:\\a\\d.DsN", true},
        {"C:\\a\\d.dsnx", false},
        {"C:\\d.dsn\\", false},
        {"C:\\x.\xc3\xa9", false},
    };
    for (const auto& [path, has] : rows) {
        SCOPED_TRACE(std::string(path));
        EXPECT_EQ(hasExtension(path, ".dsn"), has);
    }
    // Only ASCII letters fold: a UTF-8 capital is another name.
    EXPECT_FALSE(hasExtension("C:\\x.\xc3\x89", ".\xc3\xa9"));
}

TEST(WindowsPathText, TrimsBlanksOrAllWhitespace) {
    struct Row {
        std::string_view text, blanksTrimmed, whitespaceTrimmed;
    };
    for (const Row& row : std::vector<Row>{{"", "", ""},
                                           {" \t ", "", ""},
                                           {"\r\n", "\r\n", ""},
                                           {"\ta b ", "a b", "a b"},
                                           {" a\r", "a\r", "a"},
                                           {"\n a \n", "\n a \n", "a"},
                                           {"\xa0x\xa0", "\xa0x\xa0", "\xa0x\xa0"}}) {
        SCOPED_TRACE(std::string(row.text));
        EXPECT_EQ(trimBlanks(row.text), row.blanksTrimmed);
        EXPECT_EQ(trimWhitespace(row.text), row.whitespaceTrimmed);
    }
}

TEST(WindowsPathText, ParentRegistryKeyDropsEmptyComponents) {
    for (const auto& [key, parent] :
         Pairs{{"", ""},
               {"\\Software", ""},
               {"Software\\Acme\\", "Software"},
               {"Software\\\\Acme\\Tools", "Software\\Acme"},
               {"\\Software\\Acme Corp\\Tools 2", "Software\\Acme Corp"}}) {
        SCOPED_TRACE(std::string(key));
        EXPECT_EQ(parentRegistryKey(key), parent);
    }
}

}  // namespace
}  // namespace kestrel::platform
