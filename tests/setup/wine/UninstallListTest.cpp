// The entry the installer writes into the list of installed programs is the one Wine's own
// uninstaller lists, and it is gone from there after the uninstallation.
#include <gtest/gtest.h>

#include "ExpectedMatchers.h"
#include "PrefixRun.h"
#include "WineTest.h"
#include "records/InstallCommands.h"
#include "records/RecordRemoval.h"
#include "records/RecordWriter.h"

namespace kestrel::setup {
namespace {

namespace fs = std::filesystem;

class UninstallListTest : public kestrel::test::WineTest {
  protected:
    // Installs (records) or uninstalls (deletes the records) the product on the prefix.
    void runOurs(const fs::path& prefix, const std::string& application, bool install) {
        test::PrefixRun run;
        ASSERT_TRUE(run.start(prefix, "[Setup]\nVersion=5.11\n[Application]\n" + application +
                                          "ProductName=Kestrel List Check\nVersion=1.0\n"
                                          "MachineKeyName=Kestrel\\\\ListCheck\\\\1.0\n"
                                          "UninstallKeyName=KestrelListCheck\n"
                                          "UninstallDisplayName=Kestrel List Check 1.0\n"
                                          "ApplicationDir=C:\\Kestrel\n"));
        OperationContext& context = run.context();
        if (install) {
            (void)records::composeInstallCommands(context, "", "");
            ASSERT_TRUE(records::writeRecords(context, {}, {"Z:\\usr\\bin\\setup"}));
        } else {
            context.run.uninstall = true;
            records::deleteRecords(context);
        }
        ASSERT_THAT(run.session().registry().save(), kestrel::test::Succeeded());
        EXPECT_TRUE(run.ui.shown.empty());
    }

    std::string listed(const fs::path& prefix) {
        const Output list = wine(prefix, {"uninstaller", "--list"});
        EXPECT_EQ(list.exitCode, 0);
        return list.text;
    }
};

TEST_F(UninstallListTest, WinesUninstallerListsTheProductUntilItIsRemoved) {
    const fs::path& prefix = sharedPrefix();
    runOurs(prefix, "", true);
    EXPECT_NE(listed(prefix).find("KestrelListCheck|||Kestrel List Check 1.0"), std::string::npos)
        << listed(prefix);

    runOurs(prefix, "", false);
    EXPECT_EQ(listed(prefix).find("Kestrel List Check"), std::string::npos);

    // A hidden entry is recorded but not listed.
    runOurs(prefix, "HideUninstall=1\n", true);
    EXPECT_EQ(listed(prefix).find("Kestrel List Check"), std::string::npos);
    runOurs(prefix, "", false);
}

}  // namespace
}  // namespace kestrel::setup
