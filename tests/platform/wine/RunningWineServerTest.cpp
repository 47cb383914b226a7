#include <gtest/gtest.h>

#include "WineTest.h"
#include "platform/WineServer.h"
#include "platform/WineTools.h"

namespace kestrel::platform {
namespace {

using namespace std::chrono_literals;
using RunningWineServerTest = test::WineTest;

TEST_F(RunningWineServerTest, SeesTheServerOfThePrefixUntilItEnds) {
    const auto& prefix = sharedPrefix();
    const auto tmp = defaultWineServerDirectory();
    ASSERT_FALSE(wineServerRunning(prefix, tmp));
    // A persistent server stays until it is told to go.
    ASSERT_TRUE(runWineTool({"wineserver", "-p"}, prefix, 30s).finished());
    EXPECT_TRUE(wineServerRunning(prefix, tmp));
    EXPECT_EQ(waitForWineServer(prefix, tmp, 200ms), WineServerWait::TimedOut);
    ASSERT_TRUE(runWineTool({"wineserver", "-k"}, prefix, 30s).finished());
    EXPECT_EQ(waitForWineServer(prefix, tmp, 30s), WineServerWait::Ended);
}

}  // namespace
}  // namespace kestrel::platform
