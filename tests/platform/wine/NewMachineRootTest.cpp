#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WineTest.h"
#include "platform/MachineRoot.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;

class NewMachineRootTest : public test::WineTest {
  protected:
    std::unique_ptr<MachineRoot> open(NewRoot how) {
        stopServerAtEnd(prefix_);
        auto root = MachineRoot::open(prefix_, {"alice", {}, how});
        EXPECT_TRUE(root.has_value()) << (root ? "" : root.error());
        return root ? std::move(root.value()) : nullptr;
    }
    std::string systemHive() const { return test::readFile(prefix_ / "system.reg"); }

    test::TempDir dir_;
    const fs::path prefix_ = dir_ / "prefix";
};

TEST_F(NewMachineRootTest, WineMakesItWhereInstalled) {
    auto root = open(NewRoot::WineWhereInstalled);
    ASSERT_TRUE(root);
    EXPECT_TRUE(fs::exists(prefix_ / ".update-timestamp"));  // Wine's mark of a prefix it set up
    EXPECT_TRUE(fs::exists(prefix_ / "drive_c/windows/notepad.exe"));
    EXPECT_NE(systemHive().find("#arch=win64"), std::string::npos);
    EXPECT_EQ(root->windowsVersion().major, 6);
    EXPECT_EQ(root->windowsVersion().minor, 1);
    // Our own folders went in beside Wine's.
    EXPECT_TRUE(fs::is_directory(prefix_ / "drive_c/users/alice/Desktop"));
}

// The skeleton is what Wine would have made: its 64-bit loader takes it as it is, and its
// first start leaves the version alone.
TEST_F(NewMachineRootTest, TheSkeletonIsAcceptedByWine64AsItIs) {
    ASSERT_TRUE(open(NewRoot::Skeleton));
    const std::string arch = systemHive().substr(0, systemHive().find("\n\n[") + 1);
    const Output query =
        wine(prefix_,
             {"reg", "query", R"(HKLM\Software\Microsoft\Windows NT\CurrentVersion)", "/v",
              "CurrentVersion"},
             wine64Loader());
    EXPECT_EQ(query.exitCode, 0);
    EXPECT_NE(query.text.find("6.1"), std::string::npos) << query.text;
    EXPECT_EQ(systemHive().rfind(arch, 0), 0u) << "the header changed: " << arch;
    auto reopened = open(NewRoot::Skeleton);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->windowsVersion().major, 6);
    EXPECT_EQ(reopened->windowsVersion().minor, 1);
}

}  // namespace
}  // namespace kestrel::platform
