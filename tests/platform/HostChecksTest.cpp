// The small host questions: case of ASCII names, what a path names, whether there is a
// display, and loading shared libraries.
#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "ExpectedMatchers.h"
#include "TestSupport.h"
#include "platform/AsciiCase.h"
#include "platform/Display.h"
#include "platform/FileAttributes.h"
#include "platform/FileChecks.h"
#include "platform/SharedLibrary.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

TEST(AsciiCase, OnlyAsciiLettersChange) {
    EXPECT_EQ(asciiUpper("kestrelscope-1.ini"), "KESTRELSCOPE-1.INI");
    EXPECT_EQ(asciiLower("WVIEWNT.EXE"), "wviewnt.exe");
    // UTF-8 and Latin-1 bytes stay, whatever the locale would make of them.
    EXPECT_EQ(asciiUpper("gr\xc3\xbc\xc3\x9f \xe9t\xe9"), "GR\xc3\xbc\xc3\x9f \xe9T\xe9");
    const std::string umlaut = "\xc3\x9c";
    EXPECT_EQ(asciiLower(umlaut + "BER"), umlaut + "ber");
    EXPECT_EQ(asciiUpper('@'), '@');
    EXPECT_EQ(asciiUpper('`'), '`');
    EXPECT_EQ(asciiUpper('{'), '{');
    EXPECT_TRUE(equalsIgnoreAsciiCase("Program Files", "PROGRAM files"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("\xc3\xbc", "\xc3\x9c"));
    EXPECT_TRUE(startsWithIgnoreAsciiCase("HEX:01,02", "hex:"));
    EXPECT_FALSE(startsWithIgnoreAsciiCase("hex", "hex:"));
}

TEST(FileChecks, TellFilesFoldersAndProgramsApart) {
    test::TempDir dir;
    test::writeFile(dir / "data.txt", "x");
    test::writeFile(dir / "tool", "#!/bin/sh\n");
    fs::permissions(dir / "tool", fs::perms::owner_all);
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "tool", dir / "link");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0755), 0);

    EXPECT_TRUE(isRegularFile(dir / "data.txt"));
    EXPECT_TRUE(isRegularFile(dir / "link"));
    EXPECT_FALSE(isRegularFile(dir / "folder"));
    EXPECT_FALSE(isRegularFile(dir / "fifo"));
    EXPECT_FALSE(isRegularFile(dir / "missing"));
    EXPECT_FALSE(isRegularFile(dir / "data.txt/below"));  // ENOTDIR is no exception

    EXPECT_TRUE(isDirectory(dir / "folder"));
    EXPECT_FALSE(isDirectory(dir / "data.txt"));
    EXPECT_FALSE(isDirectory(dir / "missing"));

    EXPECT_TRUE(isExecutableFile(dir / "tool"));
    EXPECT_TRUE(isExecutableFile(dir / "link"));
    EXPECT_FALSE(isExecutableFile(dir / "data.txt"));
    EXPECT_FALSE(isExecutableFile(dir / "folder"));  // searchable, not executable
    EXPECT_FALSE(isExecutableFile(dir / "fifo"));
}

TEST(FileAttributes, KeptWhereWineReadsThem) {
    test::TempDir dir;
    const fs::path file = dir / "data.txt";
    test::writeFile(file, "x");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_write);
    EXPECT_EQ(fileAttributes(file), dosattr::kNormal);

    ASSERT_THAT(setFileAttributes(file, dosattr::kReadOnly | dosattr::kHidden | dosattr::kSystem),
                test::Succeeded());
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read);
    char stored[16] = {};
    ASSERT_EQ(::getxattr(file.c_str(), "user.DOSATTRIB", stored, sizeof stored - 1), 3);
    EXPECT_STREQ(stored, "0x6");
    EXPECT_EQ(fileAttributes(file), dosattr::kReadOnly | dosattr::kHidden | dosattr::kSystem);

    // Clearing gives the owner write access back and drops the stored bits.
    ASSERT_THAT(setFileAttributes(file, dosattr::kNormal), test::Succeeded());
    EXPECT_NE(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(fileAttributes(file), dosattr::kNormal);

    // Bits written by Wine itself ("0x%x") read back; a foreign value is ignored.
    ASSERT_EQ(::setxattr(file.c_str(), "user.DOSATTRIB", "0x22", 4, 0), 0);
    EXPECT_EQ(fileAttributes(file), dosattr::kHidden | dosattr::kArchive);
    ASSERT_EQ(::setxattr(file.c_str(), "user.DOSATTRIB", "junk", 4, 0), 0);
    EXPECT_EQ(fileAttributes(file), dosattr::kNormal);

    fs::create_directory(dir / "folder");
    EXPECT_EQ(fileAttributes(dir / "folder"), dosattr::kDirectory);
    EXPECT_EQ(fileAttributes(dir / "missing"), 0u);
    EXPECT_THAT(setFileAttributes(dir / "missing", dosattr::kHidden),
                test::FailsWithText(HasSubstr("missing")));
}

TEST(Display, NamedByTheEnvironment) {
    test::ScopedEnvironment env;
    env.set("QT_QPA_PLATFORM", std::nullopt);
    env.set("WAYLAND_DISPLAY", std::nullopt);
    env.set("DISPLAY", "");
    EXPECT_FALSE(hasDisplay());
    EXPECT_EQ(displayPlatforms(), "");

    env.set("DISPLAY", ":0");
    EXPECT_EQ(displayPlatforms(), "xcb");
    env.set("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_EQ(displayPlatforms(), "wayland;xcb");
    env.set("QT_QPA_PLATFORM", "offscreen");
    EXPECT_EQ(displayPlatforms(), "offscreen");
    env.set("DISPLAY", std::nullopt);
    env.set("WAYLAND_DISPLAY", std::nullopt);
    EXPECT_TRUE(hasDisplay());
}

TEST(SharedLibrary, FailuresCarryTheLinkersText) {
    const auto missing = SharedLibrary::open("libkestrel-absent.so", RTLD_NOW | RTLD_LOCAL);
    EXPECT_THAT(missing, test::FailsWithText(
                             HasSubstr("libkestrel-absent.so: cannot open shared object file")));

    auto libc = SharedLibrary::open("libc.so.6", RTLD_NOW | RTLD_LOCAL);
    ASSERT_THAT(libc, test::Succeeded());
    using Strlen = std::size_t(const char*);
    auto* strlen = libc->function<Strlen>("strlen");
    ASSERT_NE(strlen, nullptr);
    EXPECT_EQ(strlen("kestrel"), 7u);
    EXPECT_THAT(libc->symbol("kestrel_absent"),
                test::FailsWithText(HasSubstr("undefined symbol: kestrel_absent")));

    SharedLibrary moved = std::move(*libc);
    EXPECT_TRUE(moved.isOpen());
    EXPECT_FALSE(libc->isOpen());
    EXPECT_THAT(libc->symbol("strlen"), test::FailsWith("no library is open"));
}

}  // namespace
}  // namespace kestrel::platform
