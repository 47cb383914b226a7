// The start-up batch file on an NT root becomes the registry's environment: a program that
// Wine starts afterwards has the variable, and after the uninstallation it has not.
#include <gtest/gtest.h>

#include "PrefixRun.h"
#include "WineTest.h"
#include "ops/StartupSections.h"
#include "plan/SectionReader.h"

namespace kestrel::setup {
namespace {

namespace fs = std::filesystem;

class StartupEnvironmentTest : public kestrel::test::WineTest {
  protected:
    void runOurs(const fs::path& prefix, Direction direction) {
        test::PrefixRun run;
        ASSERT_TRUE(run.start(prefix,
                              "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n"
                              "[Autoexec.bat]\nSET KESTREL_INI_TEST=from setup\n"));
        // The step's save point writes the hives.
        const SectionReading batch{[&](std::string_view section, Direction) {
            return readBatchSection(run.context(), section);
        }};
        ASSERT_TRUE(runSection(run.context(), batch, "Autoexec.bat", direction));
        EXPECT_TRUE(run.ui.shown.empty());
    }
};

TEST_F(StartupEnvironmentTest, WineStartsProgramsWithTheVariable) {
    const fs::path& prefix = sharedPrefix();
    runOurs(prefix, Direction::Install);
    const Output set = wine(prefix, {"cmd", "/c", "echo", "%KESTREL_INI_TEST%"});
    EXPECT_EQ(set.exitCode, 0);
    EXPECT_EQ(set.text, "from setup\r\n");

    runOurs(prefix, Direction::Uninstall);
    const Output gone = wine(prefix, {"cmd", "/c", "echo", "%KESTREL_INI_TEST%"});
    EXPECT_EQ(gone.text, "%KESTREL_INI_TEST%\r\n");
}

}  // namespace
}  // namespace kestrel::setup
