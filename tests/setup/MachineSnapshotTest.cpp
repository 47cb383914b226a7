#include "MachineSnapshot.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "ExpectedMatchers.h"
#include "TestSupport.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;
using platform::RegistryRoot;
using platform::RegistryValue;

void setTime(const fs::path& file, long seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0) << file;
}

void writeFileAt(const fs::path& file, std::string_view content, long seconds) {
    kestrel::test::writeFile(file, content);
    fs::permissions(file, fs::perms(0644));
    setTime(file, seconds);
}

// Every kind of change an operation can make shows, each as what was and what is; the hive
// files, which change with every save, do not.
TEST(MachineSnapshot, ShowsEveryChangeButNotTheHiveFiles) {
    kestrel::test::TempDir dir;
    auto opened = platform::MachineRoot::open(dir / "prefix", {"alice", dir / "servers"});
    ASSERT_THAT(opened, kestrel::test::Succeeded());
    platform::MachineRoot& machine = **opened;
    const fs::path driveC = machine.prefix() / "drive_c";
    writeFileAt(driveC / "content.txt", "one", 1700000000);
    writeFileAt(driveC / "mode.txt", "m", 1700000000);
    writeFileAt(driveC / "attributes.txt", "a", 1700000000);
    writeFileAt(driveC / "time.txt", "t", 1700000000);
    writeFileAt(driveC / "gone.txt", std::string(300, 'g'), 1700000000);
    const MachineSnapshot before = MachineSnapshot::take(machine);
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(machine)), "");

    writeFileAt(driveC / "content.txt", "uno", 1700000000);
    fs::permissions(driveC / "mode.txt", fs::perms(0444));
    ASSERT_EQ(::setxattr((driveC / "attributes.txt").c_str(), "user.DOSATTRIB", "0x22", 4, 0), 0);
    setTime(driveC / "time.txt", 1700000001);
    fs::remove(driveC / "gone.txt");
    fs::create_directory(driveC / "New");
    fs::permissions(driveC / "New", fs::perms(0755));
    auto& registry = machine.registry();
    ASSERT_EQ(registry.setValue(RegistryRoot::LocalMachine, "Software\\Classes", "X",
                                RegistryValue::dword(5)),
              0);
    ASSERT_EQ(registry.createKey(RegistryRoot::CurrentUser, "Software\\Acme"), 0);
    ASSERT_EQ(registry.setValue(RegistryRoot::CurrentUser, "Software\\Acme", "",
                                RegistryValue::text(platform::kRegSz, "a\tb")),
              0);
    ASSERT_THAT(registry.save(), kestrel::test::Succeeded());

    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(machine)),
              "- file drive_c/attributes.txt = mode 0644 time 1700000000.0 \"a\"\n"
              "+ file drive_c/attributes.txt = mode 0644 user.DOSATTRIB=0x22 time 1700000000.0 "
              "\"a\"\n"
              "- file drive_c/content.txt = mode 0644 time 1700000000.0 \"one\"\n"
              "+ file drive_c/content.txt = mode 0644 time 1700000000.0 \"uno\"\n"
              "- file drive_c/gone.txt = mode 0644 time 1700000000.0 300 bytes, hash "
              "fa7d2f3788849da9\n"
              "- file drive_c/mode.txt = mode 0644 time 1700000000.0 \"m\"\n"
              "+ file drive_c/mode.txt = mode 0444 time 1700000000.0 \"m\"\n"
              "- file drive_c/time.txt = mode 0644 time 1700000000.0 \"t\"\n"
              "+ file drive_c/time.txt = mode 0644 time 1700000001.0 \"t\"\n"
              "+ folder drive_c/New = mode 0755\n"
              "+ key HKU\\S-1-5-21-0-0-0-1000\\Software\n"
              "+ key HKU\\S-1-5-21-0-0-0-1000\\Software\\Acme\n"
              "+ value HKLM\\Software\\Classes:X = dword 5\n"
              "+ value HKU\\S-1-5-21-0-0-0-1000\\Software\\Acme: = type 1 \"a\\x09b\"\n");
}

}  // namespace
}  // namespace kestrel::setup::test
