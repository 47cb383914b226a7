#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "ExpectedMatchers.h"
#include "WineTest.h"
#include "platform/MachineRoot.h"
#include "platform/WindowsErrors.h"
#include "platform/WineServer.h"
#include "platform/WineTools.h"

namespace kestrel::platform {
namespace {

using namespace std::chrono_literals;
using RunningWineServerTest = test::WineTest;

// A server put in the background may still be setting up its socket when the command that
// started it returns; on a loaded machine that takes a while.
bool comesUpWithin(const std::filesystem::path& prefix, const std::filesystem::path& tmp,
                   std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!wineServerRunning(prefix, tmp)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

// What a failure needs to be understood: the server folders looked at and what is in them.
std::string serverFolders(const std::filesystem::path& prefix, const std::filesystem::path& tmp) {
    std::string text = "server folders of " + prefix.string() + ":";
    for (const auto& folder : wineServerFolders(prefix, tmp)) {
        std::error_code ec;
        text += "\n  " + folder.string() +
                (std::filesystem::exists(folder / "lock", ec) ? " lock" : "") +
                (std::filesystem::exists(folder / "socket", ec) ? " socket" : "");
    }
    return text;
}

TEST_F(RunningWineServerTest, IsSeenUntilItEndsAndNoHiveIsSavedMeanwhile) {
    const auto& prefix = sharedPrefix();
    const auto tmp = defaultWineServerDirectory();
    auto registry = Registry::open(prefix);
    ASSERT_TRUE(registry.has_value());
    ASSERT_EQ((*registry)->createKey(RegistryRoot::LocalMachine, "Software\\KestrelServer"), 0);
    ASSERT_FALSE(wineServerRunning(prefix, tmp)) << serverFolders(prefix, tmp);
    // A persistent server stays until it is told to go.
    ASSERT_TRUE(runWineTool({"wineserver", "-p"}, prefix, 30s).finished());
    ASSERT_TRUE(comesUpWithin(prefix, tmp, 20s)) << serverFolders(prefix, tmp);
    EXPECT_EQ(waitForWineServer(prefix, tmp, 200ms), WineServerWait::TimedOut);
    const auto refused = (*registry)->save();
    ASSERT_FALSE(refused.has_value()) << serverFolders(prefix, tmp);
    EXPECT_EQ(refused.error().code, kErrorBusy);

    ASSERT_TRUE(runWineTool({"wineserver", "-k"}, prefix, 30s).finished());
    EXPECT_EQ(waitForWineServer(prefix, tmp, 30s), WineServerWait::Ended)
        << serverFolders(prefix, tmp);
    EXPECT_THAT((*registry)->save(), test::Succeeded());
}

// Around a Windows program, each side keeps what the other wrote to the registry.
TEST_F(RunningWineServerTest, AProgramRunThroughWineKeepsBothSidesWrites) {
    auto root = MachineRoot::open(sharedPrefix(), {"alice", {}});
    ASSERT_TRUE(root.has_value()) << root.error();
    Registry& before = (*root)->registry();
    constexpr std::string_view key = "Software\\KestrelBracket";
    ASSERT_EQ(before.createKey(RegistryRoot::LocalMachine, key), 0);
    ASSERT_EQ(before.setValue(RegistryRoot::LocalMachine, key, "Ours",
                              RegistryValue::text(kRegSz, "before")),
              0);

    const auto ran = (*root)->runThroughWine(
        {"reg", "add", R"(HKLM\Software\KestrelBracket)", "/v", "Theirs", "/d", "from wine", "/f"},
        120s);
    ASSERT_TRUE(ran.has_value()) << ran.error();
    EXPECT_EQ(*ran, 0);
    EXPECT_FALSE(wineServerRunning(sharedPrefix(), defaultWineServerDirectory()));

    Registry& after = (*root)->registry();
    RegistryValue value;
    ASSERT_EQ(after.queryValue(RegistryRoot::LocalMachine, key, "Theirs", &value), 0);
    EXPECT_EQ(value.textValue(), "from wine");
    ASSERT_EQ(after.queryValue(RegistryRoot::LocalMachine, key, "Ours", &value), 0);
    EXPECT_EQ(value.textValue(), "before");

    // The next save keeps Wine's write.
    ASSERT_EQ(after.setValue(RegistryRoot::LocalMachine, key, "Later",
                             RegistryValue::text(kRegSz, "after")),
              0);
    EXPECT_THAT(after.save(), test::Succeeded());
    const Output query = wine(sharedPrefix(), {"reg", "query", R"(HKLM\Software\KestrelBracket)"});
    EXPECT_NE(query.text.find("from wine"), std::string::npos) << query.text;
    EXPECT_NE(query.text.find("before"), std::string::npos) << query.text;
    EXPECT_NE(query.text.find("after"), std::string::npos) << query.text;
}

}  // namespace
}  // namespace kestrel::platform
