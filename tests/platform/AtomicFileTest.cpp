#include "platform/AtomicFile.h"
#include "platform/FileAttributes.h"
#include "platform/FileLock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>

#include "TestSupport.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

fs::perms permissionsOf(const fs::path& file) {
    return fs::status(file).permissions() & fs::perms::mask;
}

TEST(ReadWholeFile, ReadsRegularFilesOnly) {
    test::TempDir dir;
    const std::string binary("a\0b\r\n\xff", 6);
    writeFile(dir / "data", binary);
    EXPECT_EQ(readWholeFile(dir / "data"), binary);
    EXPECT_EQ(readWholeFile(dir / "missing"), std::nullopt);
    EXPECT_EQ(readWholeFile(dir.path()), std::nullopt);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(readWholeFile(dir / "fifo"), std::nullopt);  // must not block
}

TEST(WriteFileAtomically, ReplacesContentAndKeepsPermissions) {
    test::TempDir dir;
    const fs::path file = dir / "settings.ini";
    ASSERT_FALSE(writeFileAtomically(file, "one"));
    EXPECT_EQ(permissionsOf(file), fs::perms(0644));
    fs::permissions(file, fs::perms(0640));
    ASSERT_FALSE(writeFileAtomically(file, "two", fs::perms(0600)));
    EXPECT_EQ(readFile(file), "two");
    EXPECT_EQ(permissionsOf(file), fs::perms(0640));
    ASSERT_FALSE(writeFileAtomically(dir / "session", "s", fs::perms(0600)));
    EXPECT_EQ(permissionsOf(dir / "session"), fs::perms(0600));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// A hidden INI file stays hidden, and its security stays, when it is rewritten.
TEST(WriteFileAtomically, KeepsTheFilesExtendedAttributes) {
    test::TempDir dir;
    const fs::path file = dir / "hidden.ini";
    writeFile(file, "old");
    if (::setxattr(file.c_str(), "user.wine.sd", "\x01\x00", 2, 0) != 0)
        GTEST_SKIP() << "no extended attributes here";
    ASSERT_TRUE(setFileAttributes(file, dosattr::kHidden | dosattr::kSystem).has_value());
    ASSERT_FALSE(writeFileAtomically(file, "new"));
    EXPECT_EQ(readFile(file), "new");
    EXPECT_EQ(fileAttributes(file), dosattr::kHidden | dosattr::kSystem);
    char sd[4] = {};
    EXPECT_EQ(::getxattr(file.c_str(), "user.wine.sd", sd, sizeof sd), 2);
}

TEST(WriteFileAtomically, WritesThroughSymlinksAndReportsErrors) {
    test::TempDir dir;
    writeFile(dir / "real", "old");
    fs::create_symlink("real", dir / "link");
    ASSERT_FALSE(writeFileAtomically(dir / "link", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(readFile(dir / "real"), "new");

    EXPECT_EQ(writeFileAtomically(dir / "no-dir/x", "x"), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(writeFileAtomically(dir.path(), "x"));
    EXPECT_FALSE(FileLock(dir / "no-dir/x").locked());
}

// The temporary file lives beside the target under a name of its own; that name must fit
// wherever the target's name fits, up to the longest name the folder allows.
TEST(WriteFileAtomically, WritesNamesUpToTheLongestAllowed) {
    test::TempDir dir;
    for (std::size_t length : {236u, 244u, 251u, 255u}) {
        const fs::path file = dir / std::string(length, 'n');
        EXPECT_FALSE(writeFileAtomically(file, "long")) << length;
        EXPECT_EQ(readFile(file), "long");
        fs::remove(file);
    }
    EXPECT_EQ(writeFileAtomically(dir / std::string(256, 'n'), "x"), std::errc::filename_too_long);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// A write removes the temporary files that killed writers left (nobody holds their lock), but
// not one a live writer holds, nor a file that only resembles a temporary one.
TEST(WriteFileAtomically, RemovesOnlyTemporariesNobodyHolds) {
    test::TempDir dir;
    const fs::path file = dir / "data.ini";
    for (const char* name : {".data.ini.tmpAb12Cd", ".data.ini.tmpHeld01", ".data.ini.backup",
                             ".data.ini.tmpAb12C", ".other.ini.tmpAb12Cd"})
        writeFile(dir / name, "x");
    const int held = ::open((dir / ".data.ini.tmpHeld01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_FALSE(writeFileAtomically(file, "new"));
    ::close(held);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".data.ini.backup", ".data.ini.tmpAb12C",
                                               ".data.ini.tmpHeld01", ".other.ini.tmpAb12Cd",
                                               "data.ini"}));
}

// Writers at once, without a lock between them: none may take another's temporary file for a
// leftover, so every write succeeds and the file is one of theirs.
TEST(WriteFileAtomically, WritersAtOnceKeepEachOthersTemporaries) {
    test::TempDir dir;
    const fs::path file = dir / "shared.ini";
    EXPECT_TRUE(test::runInProcesses(3, [&](int index) {
        for (int i = 0; i < 150; ++i)
            if (writeFileAtomically(file, std::string(4096, static_cast<char>('a' + index))))
                return false;
        return true;
    }));
    const std::string content = readFile(file);
    EXPECT_TRUE(content == std::string(4096, 'a') || content == std::string(4096, 'b') ||
                content == std::string(4096, 'c'));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// Two processes each add 1 to a counter 200 times under the lock: no update may be lost.
TEST(FileLock, SerialisesReadModifyWriteAcrossProcesses) {
    test::TempDir dir;
    const fs::path counter = dir / "counter";
    writeFile(counter, "0");
    EXPECT_TRUE(test::runInProcesses(2, [&](int) {
        for (int i = 0; i < 200; ++i) {
            const FileLock lock(counter);
            const int value = std::stoi(readWholeFile(counter).value_or("0"));
            if (!lock.locked() || writeFileAtomically(counter, std::to_string(value + 1))) {
                return false;
            }
        }
        return true;
    }));
    EXPECT_EQ(readFile(counter), "400");
}

}  // namespace
}  // namespace kestrel::platform
