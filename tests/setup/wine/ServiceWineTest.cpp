// A service the installer adds is one Wine's own service controller knows, until the
// installer removes it again.
#include <gtest/gtest.h>

#include "ExpectedMatchers.h"
#include "PrefixRun.h"
#include "WineTest.h"
#include "commands/HostProgramStarter.h"
#include "system/SecurityOperations.h"
#include "system/ServiceOperations.h"

namespace kestrel::setup {
namespace {

namespace fs = std::filesystem;

class ServiceWineTest : public kestrel::test::WineTest {};

TEST_F(ServiceWineTest, WinesServiceControllerSeesTheServiceUntilItIsRemoved) {
    const fs::path& prefix = sharedPrefix();
    test::PrefixRun run;
    ASSERT_TRUE(run.start(prefix,
                          "[Setup]\nVersion=5.11\n[Application]\n"
                          "ApplicationDir=C:\\Kestrel\n[Services]\n"
                          "KestrelWineCheck=Kestrel Wine Check\n"));
    commands::HostProgramStarter starter(run.session().machine());
    ProgressWindow progress(run.session().messages(), run.session().run());
    SystemServices services{run.context(), starter, progress};
    SecurityOperations security(services);
    ServiceOperations operations(services, security);
    const copy::InstalledFile file{"C:\\Kestrel\\check.exe", {}, {}, "KestrelWineCheck", false};

    ASSERT_TRUE(operations.installService(file));
    ASSERT_THAT(run.session().registry().save(), kestrel::test::Succeeded());
    const Output installed = wine(prefix, {"sc", "query", "KestrelWineCheck"});
    EXPECT_EQ(installed.exitCode, 0);
    EXPECT_NE(installed.text.find("KestrelWineCheck"), std::string::npos) << installed.text;
    EXPECT_NE(installed.text.find("STOPPED"), std::string::npos) << installed.text;

    ASSERT_TRUE(operations.removeService(file));
    ASSERT_THAT(run.session().registry().save(), kestrel::test::Succeeded());
    EXPECT_NE(wine(prefix, {"sc", "query", "KestrelWineCheck"}).exitCode, 0);
    EXPECT_TRUE(run.ui.shown.empty());
}

}  // namespace
}  // namespace kestrel::setup
