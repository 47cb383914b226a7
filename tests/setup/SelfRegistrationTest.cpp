// Self-registration of REGISTER files: libraries through Wine's registration program (faked
// here) when they have the function, programs with /REGSERVER, 16-bit files through
// REGSVR.EXE, and the messages when none of it can be done.
#include <gtest/gtest.h>

#include "ServiceFixture.h"
#include "copy/FileLine.h"
#include "messages/MessageStrings.h"
#include "system/SelfRegistration.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;

const fs::path kProducts = KESTREL_SAMPLE_PRODUCTS_DIR;
constexpr const char* kScript = "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n";
constexpr std::uint32_t kRegister = fileflag::kRegister;

class SelfRegistrationTest : public ServiceFixture {
  protected:
    void SetUp() override {
        if (!fs::exists(kProducts / "lantern/files/LANTRNRG.DLL")) {
            GTEST_SKIP() << "sample products not built (no MinGW-w64 cross compiler)";
        }
        start(kScript);
        registration_ = std::make_unique<SelfRegistration>(*services_, wine_);
    }
    // The sample file put into the root under that Windows path.
    copy::InstalledFile placed(const fs::path& sample, const std::string& destination,
                               std::uint32_t flags = kRegister) {
        fs::create_directories(host(destination).parent_path());
        fs::copy_file(sample, host(destination), fs::copy_options::overwrite_existing);
        return {destination, host(destination), {flags, 0}, {}, false};
    }
    copy::InstalledFile beacon() {
        return placed(kProducts / "lantern/files/LANTRNRG.DLL", "C:\\Acme\\BEACONRG.DLL");
    }

    std::unique_ptr<SelfRegistration> registration_;
};

TEST_F(SelfRegistrationTest, ALibraryWithoutTheFunctionCountsAsRegistered) {
    wine_.present = false;  // nothing to register needs no Wine either
    const auto file = placed(kProducts / "harbor/files/HARBOR.DLL", "C:\\Acme\\HARBOR.DLL");
    EXPECT_TRUE(registration_->registerFile(file));
    EXPECT_TRUE(registration_->unregisterFile(file));
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_TRUE(wine_.calls.empty());
}

TEST_F(SelfRegistrationTest, LibrariesRegisterThroughWinesRegistrationProgram) {
    const auto file = beacon();
    EXPECT_TRUE(registration_->registerFile(file));
    EXPECT_EQ(progress_->view().first, "C:\\Acme\\BEACONRG.DLL");
    EXPECT_EQ(progress_->view().second, "System registry");
    EXPECT_TRUE(registration_->unregisterFile(file));
    EXPECT_EQ(wine_.calls, (std::vector<std::string>{"regsvr32 /s C:\\Acme\\BEACONRG.DLL",
                                                     "regsvr32 /s /u C:\\Acme\\BEACONRG.DLL"}));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(SelfRegistrationTest, WithoutWineTheOleLibraryCannotBeLoaded) {
    wine_.present = false;
    const auto file = beacon();
    ui_.answer({buttons::kIgnore, buttons::kCancel});
    EXPECT_TRUE(registration_->registerFile(file));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kCannotLoadDll});
    EXPECT_EQ(ui_.shown[0].box.text, "Cannot load DLL 'OLE32.DLL'.\nError 126!");
    EXPECT_FALSE(context().run.abort);
    EXPECT_FALSE(registration_->registerFile(file));
    EXPECT_TRUE(context().run.abort);
}

TEST_F(SelfRegistrationTest, FailuresAreToldWithTheFilesName) {
    const auto file = beacon();
    wine_.answers["regsvr32 /s C:\\Acme\\BEACONRG.DLL"] = {WineOutcome{3, ""}};
    wine_.answers["regsvr32 /s /u C:\\Acme\\BEACONRG.DLL"] = {
        platform::unexpected(std::string("Wine could not start regsvr32"))};
    ui_.answer({buttons::kIgnore, buttons::kIgnore});
    EXPECT_TRUE(registration_->registerFile(file));
    EXPECT_TRUE(registration_->unregisterFile(file));
    ASSERT_EQ(ui_.shown.size(), 2u);
    EXPECT_EQ(ui_.shown[0].box.text, "Cannot register file 'C:\\Acme\\BEACONRG.DLL'!");
    EXPECT_EQ(ui_.shown[1].box.text, "Cannot unregister 'C:\\Acme\\BEACONRG.DLL'!");
}

TEST_F(SelfRegistrationTest, ADamagedLibraryCannotBeRegistered) {
    put("C:\\Acme\\BROKEN.DLL", "MZ but nothing more");
    const copy::InstalledFile file{
        "C:\\Acme\\BROKEN.DLL", host("C:\\Acme\\BROKEN.DLL"), {kRegister, 0}, {}, false};
    ui_.answer({buttons::kIgnore});
    EXPECT_TRUE(registration_->registerFile(file));
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kCannotRegister});
    EXPECT_TRUE(wine_.calls.empty());
}

// Registering, the program runs on its own; unregistering, it is waited for, since the file
// is deleted right after.
TEST_F(SelfRegistrationTest, ProgramsAndSixteenBitFilesAreWaitedForOnlyWhenUnregistering) {
    const copy::InstalledFile program{
        "C:\\Program Files\\Acme\\tool.exe", {}, {kRegister, 0}, {}, false};
    const copy::InstalledFile old{
        "C:\\Acme\\OLD.DLL", {}, {kRegister | fileflag::kRegister16, 0}, {}, false};
    EXPECT_TRUE(registration_->registerFile(program));
    EXPECT_TRUE(registration_->unregisterFile(program));
    EXPECT_TRUE(registration_->registerFile(old));
    EXPECT_TRUE(registration_->unregisterFile(old));
    EXPECT_EQ(starter_.commandLines(),
              (std::vector<std::string>{"\"C:\\Program Files\\Acme\\tool.exe\" /REGSERVER",
                                        "\"C:\\Program Files\\Acme\\tool.exe\" /UNREGSERVER",
                                        "REGSVR.EXE C:\\Acme\\OLD.DLL",
                                        "REGSVR.EXE /U C:\\Acme\\OLD.DLL"}));
    ASSERT_EQ(starter_.starts.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(starter_.starts[i].wait, i % 2 == 1) << i;

    starter_.answer = 2;
    ui_.answer({buttons::kCancel});
    EXPECT_FALSE(registration_->registerFile(program));
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kCannotRegister});
}

TEST_F(SelfRegistrationTest, AnOutdatedOleLibraryIsToldOnceAndRegistersNothing) {
    placed(kProducts / "harbor/variants/harbor-1.0-en.dll",
           machine_->systemDirectory() + "\\ole32.dll");
    const auto file = beacon();
    EXPECT_TRUE(registration_->registerFile(file));
    EXPECT_TRUE(registration_->registerFile(file));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kVersionOutOfDate});
    EXPECT_NE(ui_.shown[0].box.text.find("Need: 2.03.00.00\nHave: 1.00.00.00"), std::string::npos)
        << ui_.shown[0].box.text;
    EXPECT_TRUE(wine_.calls.empty());
}

}  // namespace
}  // namespace kestrel::setup::test
