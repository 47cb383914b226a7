// The status file through which setup's Windows starter waits for a run it handed over.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "TestSupport.h"
#include "program/StarterStatus.h"

namespace kestrel::setup::test {
namespace {

TEST(StarterStatus, SaysTheProcessAtOnceAndTheExitCodeAtTheEnd) {
    const kestrel::test::TempDir dir;
    const std::filesystem::path file = dir / "status";
    {
        const kestrel::test::ScopedEnv unset("KESTREL_SETUP_STATUS", std::nullopt);
        EXPECT_FALSE(StarterStatus::fromEnvironment().has_value());
    }
    const kestrel::test::ScopedEnv named("KESTREL_SETUP_STATUS", file.string());
    const auto status = StarterStatus::fromEnvironment();
    ASSERT_TRUE(status.has_value());
    const std::string process = std::to_string(::getpid()) + "\n";
    EXPECT_EQ(kestrel::test::readFile(file), process);
    // Programs the run starts are not waited for by the starter.
    EXPECT_EQ(std::getenv("KESTREL_SETUP_STATUS"), nullptr);
    status->finished(-1);
    EXPECT_EQ(kestrel::test::readFile(file), process + "exit -1\n");
}

}  // namespace
}  // namespace kestrel::setup::test
