// The ODBC driver and the printer the installer adds are where Wine's own tools look for
// them, and gone from there after the uninstallation.
#include <gtest/gtest.h>

#include "ExpectedMatchers.h"
#include "PrefixRun.h"
#include "TestSupport.h"
#include "WineTest.h"
#include "system/OdbcOperations.h"
#include "system/PrintOperations.h"

namespace kestrel::setup {
namespace {

using commands::SystemCommand;

class SystemStoresTest : public kestrel::test::WineTest {
  protected:
    class NoPrograms : public commands::ProgramStarter {
      public:
        std::uint32_t start(std::string_view, std::string_view, bool) override { return 2; }
    };

    std::string query(const std::string& key, const char* view) {
        const Output seen = wine(sharedPrefix(), {"reg", "query", key, view});
        return seen.exitCode == 0 ? seen.text : std::string();
    }
};

constexpr const char* kDriverKey = R"(HKLM\Software\ODBC\ODBCINST.INI\Kestrel Text)";
constexpr const char* kPrinterKey =
    R"(HKLM\System\CurrentControlSet\Control\Print\Printers\Kestrel Check)";

TEST_F(SystemStoresTest, WineSeesTheOdbcDriverAndThePrinter) {
    test::PrefixRun run;
    ASSERT_TRUE(run.start(sharedPrefix(),
                          "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Kestrel\n"
                          "[ODBC Driver]\nDriverName=Kestrel Text\n"
                          "Driver=C:\\Kestrel\\kestreltxt.dll\n"));
    OperationContext& context = run.context();
    NoPrograms programs;
    ProgressWindow progress(context.messages, context.run);
    SystemServices services{context, programs, progress};
    const std::string driverDir = context.variables.value("PrinterDriverDir");
    for (const char* file : {"kestrel.dll", "kestrel.ppd", "kestrelui.dll"}) {
        const auto host = context.registry.machine().hostPath(driverDir + "\\" + file);
        ASSERT_TRUE(host);
        std::filesystem::create_directories(host->parent_path());
        kestrel::test::writeFile(*host, file);
    }
    const auto stores = [&](Direction direction) {
        OdbcOperations odbc(services);
        PrintOperations printing(services);
        const bool install = direction == Direction::Install;
        EXPECT_TRUE(runSection(services.context, odbc.reading(), "ODBC Driver", direction));
        if (install) {
            EXPECT_TRUE(printing.run(SystemCommand::AddPrinterDriver,
                                     ",,Kestrel Laser,3,kestrel.dll,kestrel.ppd,kestrelui.dll"));
            EXPECT_TRUE(
                printing.run(SystemCommand::AddPrinter, ",Kestrel Check,FILE:,Kestrel Laser"));
        } else {
            EXPECT_TRUE(printing.run(SystemCommand::DeletePrinter, ",Kestrel Check"));
            EXPECT_TRUE(printing.run(SystemCommand::DeletePrinterDriver, ",,Kestrel Laser"));
        }
        ASSERT_THAT(run.session().registry().save(), kestrel::test::Succeeded());
    };

    stores(Direction::Install);
    // The installer is a 32-bit program: its ODBC is the one 32-bit programs see.
    EXPECT_NE(query(kDriverKey, "/reg:32").find("C:\\Kestrel\\kestreltxt.dll"), std::string::npos);
    const std::string printer = query(kPrinterKey, "/reg:64");
    EXPECT_NE(printer.find("Kestrel Laser"), std::string::npos) << printer;
    EXPECT_NE(printer.find("FILE:"), std::string::npos) << printer;

    stores(Direction::Uninstall);
    EXPECT_EQ(query(kDriverKey, "/reg:32"), "");
    EXPECT_EQ(query(kPrinterKey, "/reg:64"), "");
    EXPECT_TRUE(run.ui.shown.empty());
}

}  // namespace
}  // namespace kestrel::setup
