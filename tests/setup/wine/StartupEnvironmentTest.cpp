// The start-up batch file on an NT root becomes the registry's environment: a program that
// Wine starts afterwards has the variable, and after the uninstallation it has not.
#include <gtest/gtest.h>

#include "ScriptedUi.h"
#include "WineTest.h"
#include "ops/StartupSections.h"
#include "program/SetupSession.h"

namespace kestrel::setup {
namespace {

namespace fs = std::filesystem;

class StartupEnvironmentTest : public kestrel::test::WineTest {
  protected:
    void runOurs(const fs::path& prefix, Direction direction) {
        auto root = platform::MachineRoot::open(prefix, {"alice", {}});
        ASSERT_TRUE(root.has_value()) << root.error();
        LazyMachineRoot machine(**root);
        MemoryEnvironment environment;
        ScriptedUi ui;
        SetupSession session(ui, machine, environment, {});
        session.useScript(ScriptText::fromText("[Setup]\nVersion=5.11\n[Application]\n"
                                               "ApplicationDir=C:\\Acme\n[Autoexec.bat]\n"
                                               "SET KESTREL_INI_TEST=from setup\n",
                                               "C:\\setup\\Setup.inf"),
                          "C:\\setup\\Setup.inf");
        ASSERT_TRUE(session.readSettings());
        // The step's save point writes the hives.
        ASSERT_TRUE(processBatchSection(session.context(), "Autoexec.bat", direction));
        EXPECT_TRUE(ui.shown.empty());
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
