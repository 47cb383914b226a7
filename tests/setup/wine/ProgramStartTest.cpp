// Windows programs of the root start through Wine in that root, whatever prefix the
// installer's own environment names.
#include <gtest/gtest.h>

#include "ExpectedMatchers.h"
#include "TestSupport.h"
#include "WineTest.h"
#include "commands/HostProgramStarter.h"
#include "ops/RegistryServices.h"
#include "script/Environment.h"

namespace kestrel::setup {
namespace {

namespace fs = std::filesystem;

class ProgramStartTest : public kestrel::test::WineTest {};

TEST_F(ProgramStartTest, WindowsProgramsRunInTheRoot) {
    const fs::path& prefix = sharedPrefix();
    auto root = platform::MachineRoot::open(prefix, {"alice", {}});
    ASSERT_TRUE(root.has_value()) << root.error();
    const kestrel::test::ScopedEnv elsewhere("WINEPREFIX",
                                             (prefix.parent_path() / "none").string());
    commands::HostProgramStarter starter(**root);

    const fs::path out = prefix / "drive_c" / "kestrel-started.txt";
    fs::remove(out);
    EXPECT_EQ(starter.start("cmd /c echo started> C:\\kestrel-started.txt", "C:\\", true), 0u);
    EXPECT_TRUE(fs::exists(out));
    EXPECT_FALSE(fs::exists(prefix.parent_path() / "none"));
    EXPECT_EQ(starter.start("C:\\windows\\no-such-program.exe", "C:\\", true), 2u);
}

// A program we wait for sees what we wrote so far, and what it writes is still there after
// our own next save.
TEST_F(ProgramStartTest, WaitedProgramsShareTheRegistryBothWays) {
    const fs::path& prefix = sharedPrefix();
    auto root = platform::MachineRoot::open(prefix, {"alice", {}});
    ASSERT_TRUE(root.has_value()) << root.error();
    MemoryEnvironment environment;
    RegistryServices services(**root, environment);
    const std::string key = "Software\\KestrelStarted";
    ASSERT_EQ(services.writeString(platform::RegistryRoot::LocalMachine, key, "Ours", "1"), 0);
    commands::HostProgramStarter starter(**root);

    // A 32-bit view, as the installer sees the root.
    EXPECT_EQ(starter.start("cmd /c reg query HKLM\\Software\\KestrelStarted /v Ours /reg:32 > "
                            "C:\\kestrel-seen.txt & reg add HKLM\\Software\\KestrelStarted /v "
                            "Theirs /d 2 /f /reg:32",
                            "C:\\", true),
              0u);
    EXPECT_NE(kestrel::test::readFile(prefix / "drive_c" / "kestrel-seen.txt").find("Ours"),
              std::string::npos);
    std::string text;
    EXPECT_EQ(services.readText(platform::RegistryRoot::LocalMachine, key, "Theirs", &text), 0);
    EXPECT_EQ(text, "2");
    ASSERT_THAT(services.save(), kestrel::test::Succeeded());
    EXPECT_EQ(
        wine(prefix, {"reg", "query", "HKLM\\Software\\KestrelStarted", "/v", "Theirs", "/reg:32"})
            .exitCode,
        0);
}

}  // namespace
}  // namespace kestrel::setup
