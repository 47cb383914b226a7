#include "platform/WineDrives.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;

// A prefix with the drives Wine gives a new one (C: and Z:), a D: on a folder outside it and
// an E: whose folder is gone.
class WineDrivesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(prefix_ / "drive_c/windows");
        fs::create_directories(dir_ / "data/logs");
        fs::create_directories(prefix_ / "dosdevices");
        fs::create_directory_symlink("../drive_c", prefix_ / "dosdevices/c:");
        fs::create_directory_symlink("/", prefix_ / "dosdevices/z:");
        fs::create_directory_symlink(dir_ / "data", prefix_ / "dosdevices/d:");
        fs::create_directory_symlink(dir_ / "gone", prefix_ / "dosdevices/e:");
        fs::create_directories(prefix_ / "dosdevices/unc/server/share");
    }

    test::TempDir dir_;
    fs::path prefix_ = dir_ / "prefix";
    WineDrives drives_{prefix_};
};

TEST_F(WineDrivesTest, LettersLeadThroughTheDriveLinks) {
    EXPECT_EQ(drives_.driveLink('D'), prefix_ / "dosdevices/d:");
    EXPECT_EQ(drives_.driveLink('d'), prefix_ / "dosdevices/d:");
    EXPECT_EQ(drives_.uncFolder(), prefix_ / "dosdevices/unc");

    const std::vector<WineDrive> drives = drives_.drives();
    std::string letters;
    for (const WineDrive& drive : drives) letters += drive.letter;
    EXPECT_EQ(letters, "CDEZ");  // "unc" is no drive
    EXPECT_EQ(drives[0].folder, fs::canonical(prefix_ / "drive_c"));
    EXPECT_EQ(drives[1].link, prefix_ / "dosdevices/d:");
    EXPECT_TRUE(drives[2].folder.empty());
    EXPECT_EQ(drives[3].folder, "/");
}

TEST_F(WineDrivesTest, HostPathsTakeTheDeepestDrive) {
    EXPECT_EQ(drives_.windowsPath(dir_ / "data/logs/x.csv"), "D:\\logs\\x.csv");
    EXPECT_EQ(drives_.windowsPath(dir_ / "data"), "D:\\");
    EXPECT_EQ(drives_.windowsPath(prefix_ / "dosdevices/c:/windows"), "C:\\windows");
    EXPECT_EQ(drives_.windowsPath("/usr/share"), "Z:\\usr\\share");

    // Without Z: the rest of the file system is reached through no drive.
    fs::remove(prefix_ / "dosdevices/z:");
    EXPECT_EQ(drives_.windowsPath("/usr/share"), "\\\\?\\unix\\usr\\share");
    EXPECT_EQ(WineDrives(dir_ / "no-prefix").windowsPath("/usr"), "\\\\?\\unix\\usr");
}

TEST_F(WineDrivesTest, TheDriveHoldingAFolderIsItsLinkOrItsFolder) {
    const std::string link = (prefix_ / "dosdevices/d:").string();
    const std::string data = fs::canonical(dir_ / "data").string();
    EXPECT_EQ(drives_.driveHolding(link + "/logs/"), link);
    EXPECT_EQ(drives_.driveHolding(data + "/logs/"), data);
    EXPECT_EQ(drives_.driveHolding(data + "/"), data);
    // A sibling sharing the start of the drive folder's name lies on the root drive only.
    EXPECT_EQ(drives_.driveHolding(data + "base/"), "");
    EXPECT_EQ(drives_.driveHolding("/usr/"), "");
}

std::string onZ(const fs::path& absolute) {
    std::string path = absolute.string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

TEST(WindowsPath, DefaultPrefixLayout) {
    test::TempDir dir;
    const test::ScopedEnv prefix("WINEPREFIX", (dir / "prefix").string());
    EXPECT_EQ(windowsPathOf("/home/me/x"), "Z:\\home\\me\\x");
    EXPECT_EQ(windowsPathOf("/"), "Z:\\");
    EXPECT_EQ(windowsPathOf("/a/./b/../c/"), "Z:\\a\\c");
    EXPECT_EQ(windowsPathOf(""), "");
    EXPECT_EQ(windowsPathOf(dir / "prefix/drive_c/Program Files/Acme"), "C:\\Program Files\\Acme");
    EXPECT_EQ(windowsPathOf(dir / "prefix/drive_c"), "C:\\");
    // Only the drive folder itself maps to C:, not a sibling sharing its name's start.
    EXPECT_EQ(windowsPathOf(dir / "prefix/drive_cx"), onZ(dir / "prefix/drive_cx"));
    {
        const test::ScopedCurrentDir cwd(dir.path());
        EXPECT_EQ(windowsPathOf("sub/file.txt"), onZ(dir / "sub/file.txt"));
    }
}

}  // namespace
}  // namespace kestrel::platform
