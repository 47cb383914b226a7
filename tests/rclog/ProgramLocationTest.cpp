// Where the program lies, and where that puts the logs.
#include <gtest/gtest.h>

#include "LogPaths.h"
#include "ProgramLocation.h"
#include "TestSupport.h"

namespace kestrel::rclog {
namespace {

namespace fs = std::filesystem;

// A program in a temporary folder, known to the tests as the file the system runs.
class OwnPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root_ / "real");
        fs::create_directories(root_ / "zen");
        kestrel::test::writeExecutable(running_, "#!/bin/sh\n");
        fs::create_symlink(running_, root_ / "zen" / "WVIEWNT.EXE");
    }
    std::string own(std::string_view argv0, std::string_view executed,
                    std::string_view searchPath = "") const {
        return ownProgramPath(argv0, executed, root_, searchPath, running_);
    }

    kestrel::test::TempDir temp_;
    const fs::path root_ = fs::canonical(temp_.path());
    const fs::path running_ = root_ / "real" / "quillbox";
    const std::string link_ = (root_ / "zen" / "WVIEWNT.EXE").string();
};

TEST_F(OwnPathTest, NameTheProgramWasStartedUnderWhenItLeadsToTheRunningFile) {
    EXPECT_EQ(own("./zen/WVIEWNT.EXE", ""), link_);
    EXPECT_EQ(own(root_.string() + "//zen/./WVIEWNT.EXE", "/elsewhere/x"), link_);
    // A bare name: the file the system executed tells the directory.
    EXPECT_EQ(own("WVIEWNT.EXE", link_, "/usr/bin"), link_);
    EXPECT_EQ(own("WVIEWNT.EXE", "zen/WVIEWNT.EXE"), link_);
}

// Otherwise a caller could move the configuration, the viewer and the logs anywhere, or make
// a logger believe it is the viewer's logger in another folder.
TEST_F(OwnPathTest, MadeUpNamesGiveWayToTheFileTheSystemRuns) {
    fs::create_directories(root_ / "elsewhere");
    kestrel::test::writeExecutable(root_ / "elsewhere" / "WVIEWNT.EXE", "#!/bin/sh\n");
    EXPECT_EQ(own((root_ / "elsewhere" / "WVIEWNT.EXE").string(), ""), running_.string());
    EXPECT_EQ(own("/nonexistent/WVIEWNT.EXE", ""), running_.string());
    // The executed file still speaks when argument 0 is made up.
    EXPECT_EQ(own("/nonexistent/WVIEWNT.EXE", link_), link_);
    EXPECT_EQ(own("", ""), running_.string());
    // Without /proc nothing can be checked: the name stands.
    EXPECT_EQ(ownProgramPath("/opt//zen/./WVIEWNT.EXE", "", "/work", "", ""),
              "/opt/zen/WVIEWNT.EXE");
}

TEST_F(OwnPathTest, BareNameWithoutExecutedFileIsSearchedOnPath) {
    fs::create_directories(root_ / "bin");
    fs::create_symlink(running_, root_ / "bin" / "WVIEWNT.EXE");
    kestrel::test::writeFile(root_ / "WVIEWNT.EXE", "not executable");
    const std::string path = "/nonexistent:" + (root_ / "bin").string();
    EXPECT_EQ(own("WVIEWNT.EXE", "", path), (root_ / "bin" / "WVIEWNT.EXE").string());
    EXPECT_EQ(own("quillbox", "", "/nonexistent"), running_.string());
}

TEST(ProgramLocation, SplitsIntoDriveDirectoryNameAndExtension) {
    kestrel::test::ScopedEnv prefix("WINEPREFIX", "/nonexistent/prefix");
    const ProgramLocation zen = splitProgramPath("/opt/zen/WVIEWNT.EXE");
    EXPECT_EQ(zen.drive, "");
    EXPECT_EQ(zen.directory, "/opt/zen/");
    EXPECT_EQ(zen.baseName, "WVIEWNT");
    EXPECT_EQ(zen.extension, ".EXE");
    EXPECT_EQ(zen.programDirectory(), "/opt/zen/");
    const ProgramLocation root = splitProgramPath("/quillbox");
    EXPECT_EQ(root.directory, "/");
    EXPECT_EQ(root.baseName, "quillbox");
    EXPECT_EQ(root.extension, "");
    EXPECT_EQ(splitProgramPath("/a.b/x.tar.gz").baseName, "x.tar");
}

// A program inside a Wine drive has that drive, reached through the link or its target.
TEST(ProgramLocation, WineDriveIsTheProgramsDrive) {
    kestrel::test::TempDir temp;
    const fs::path prefix = fs::canonical(temp.path()) / "prefix";
    fs::create_directories(prefix / "drive_c" / "ZEN");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
    kestrel::test::ScopedEnv env("WINEPREFIX", prefix.string());

    const ProgramLocation direct = splitProgramPath((prefix / "drive_c/ZEN/WVIEWNT.EXE").string());
    EXPECT_EQ(direct.drive, (prefix / "drive_c").string());
    EXPECT_EQ(direct.directory, "/ZEN/");
    const ProgramLocation linked =
        splitProgramPath((prefix / "dosdevices/c:/ZEN/WVIEWNT.EXE").string());
    EXPECT_EQ(linked.drive, (prefix / "dosdevices/c:").string());
    EXPECT_EQ(linked.directory, "/ZEN/");
    EXPECT_EQ(splitProgramPath("/opt/zen/WVIEWNT.EXE").drive, "");  // z: is the root

    const LogPaths root = logPathsFor(direct, "\\LOGS");
    EXPECT_EQ(root.startLog, prefix / "drive_c/LOGS/Quillbox.CS0");
}

class LogPathsTest : public ::testing::Test {
  protected:
    kestrel::test::ScopedEnv prefix_{"WINEPREFIX", "/wine"};
    ProgramLocation zen_ = splitProgramPath("/opt/zen/WVIEWNT.EXE");
};

TEST_F(LogPathsTest, EachFormOfLogFileHome) {
    const LogPaths unset = logPathsFor(zen_, "???");
    EXPECT_EQ(unset.startLog, "/opt/zen/Quillbox.CS0");
    EXPECT_EQ(unset.sessionLog, "/opt/zen/Quillbox.CSV");
    EXPECT_EQ(logPathsFor(zen_, "LOGS").startLog, "/opt/zen/LOGS/Quillbox.CS0");
    EXPECT_EQ(logPathsFor(zen_, "LOGS\\").sessionLog, "/opt/zen/LOGS/Quillbox.CSV");
    EXPECT_EQ(logPathsFor(zen_, "sub\\logs").startLog, "/opt/zen/sub/logs/Quillbox.CS0");
    EXPECT_EQ(logPathsFor(zen_, "\\LOGS").startLog, "/LOGS/Quillbox.CS0");
    EXPECT_EQ(logPathsFor(zen_, "/var/log/quillbox/").startLog, "/var/log/quillbox/Quillbox.CS0");
    EXPECT_EQ(logPathsFor(zen_, "F:\\LOGS").startLog, "/wine/dosdevices/f:/LOGS/Quillbox.CS0");
    EXPECT_EQ(logPathsFor(zen_, "f:logs").startLog, "/wine/dosdevices/f:/logs/Quillbox.CS0");
    EXPECT_EQ(logPathsFor(zen_, "\\\\SRV\\VOL\\LOGS").sessionLog,
              "/wine/dosdevices/unc/SRV/VOL/LOGS/Quillbox.CSV");
}

TEST_F(LogPathsTest, PathsPastTheLimitNameNoLog) {
    // Relative: program directory (9) + home + "/" + "Quillbox.CS0" (12) = 503 at most.
    const std::string fits(503 - 9 - 13, 'x');
    EXPECT_EQ(logPathsFor(zen_, fits).startLog.string().size(), 503U);
    EXPECT_TRUE(logPathsFor(zen_, fits + "x").startLog.empty());
    EXPECT_TRUE(logPathsFor(zen_, fits + "x").sessionLog.empty());
}

}  // namespace
}  // namespace kestrel::rclog
