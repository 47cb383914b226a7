// Permissions the installer sets are what Wine reports for the file: this Wine derives a
// file's security from its mode, and its own attrib shows a file nobody may write to as
// read-only.
#include <gtest/gtest.h>

#include "PrefixRun.h"
#include "TestSupport.h"
#include "WineTest.h"
#include "system/SecurityOperations.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup {
namespace {

namespace fs = std::filesystem;

class NoPrograms : public commands::ProgramStarter {
  public:
    std::uint32_t start(std::string_view, std::string_view, bool) override { return 2; }
};

class FileSecurityWineTest : public kestrel::test::WineTest {};

TEST_F(FileSecurityWineTest, WinesAttribSeesWhatFileDaclLeft) {
    const fs::path& prefix = sharedPrefix();
    const fs::path folder = prefix / "drive_c" / "KestrelSecurity";
    fs::create_directories(folder);
    for (const char* name : {"locked.txt", "open.txt"}) {
        kestrel::test::writeFile(folder / name, "x");
        fs::permissions(folder / name, fs::perms(0644));
    }
    test::PrefixRun run;
    ASSERT_TRUE(
        run.start(prefix, "[Setup]\nVersion=6.50\n[Application]\nApplicationDir=C:\\Acme\n"));
    NoPrograms programs;
    ProgressWindow progress(run.session().messages(), run.context().run);
    SystemServices services{run.context(), programs, progress};
    SecurityOperations security(services);
    EXPECT_TRUE(security.runCommand(
        "FileDacl.Add ('C:\\KestrelSecurity\\locked.txt', 'Everyone', REPLACEACL, READ)",
        Direction::Install));
    EXPECT_TRUE(security.runCommand(
        "FileDacl.Add ('C:\\KestrelSecurity\\open.txt', 'Everyone', REPLACEACL, FULL)",
        Direction::Install));
    EXPECT_TRUE(run.ui.shown.empty());

    const Output locked = wine(prefix, {"cmd", "/c", "attrib", "C:\\KestrelSecurity\\locked.txt"});
    EXPECT_NE(locked.text.find("R "), std::string::npos) << locked.text;
    const Output open = wine(prefix, {"cmd", "/c", "attrib", "C:\\KestrelSecurity\\open.txt"});
    EXPECT_EQ(open.text.find("R "), std::string::npos) << open.text;
    EXPECT_NE(open.text.find("open.txt"), std::string::npos) << open.text;
    fs::permissions(folder / "locked.txt", fs::perms(0644));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace kestrel::setup
