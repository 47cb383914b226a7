// Windows programs of the root start through Wine in that root, whatever prefix the
// installer's own environment names.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WineTest.h"
#include "commands/HostProgramStarter.h"

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

}  // namespace
}  // namespace kestrel::setup
