#include "SystemStoreFixture.h"
#include "messages/MessageStrings.h"
#include "system/OdbcOperations.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;

constexpr const char* kApplication =
    "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n";
constexpr const char* kSections =
    "[ODBC Driver]\nDriverName=Acme Text\nDriver=%App%\\acmetxt.dll\nSetup=acmesetup.dll\n"
    "APILevel=1\n"
    "[ODBC DSN]\nDSN=Acme Orders\nDriverName=Acme Text\nDescription=Orders of %App%\n"
    "[ODBC System DSN:Stock]\nDSN=Acme Stock\nDriverName = Acme Text\nDefaultDir=C:\\Data\n"
    "[ODBC File DSN]\nFileName=acme\nDRIVER=Acme Text\nDBQ=C:\\Data\n"
    "[ODBC Translator]\nTranslatorName=Acme Codes\nTranslator=C:\\Acme\\acmexl.dll\n"
    "[ODBC Core]\n"
    "[ODBC DSN:Broken]\nDSN=Broken\nDriverName Acme Text\n"
    "[ODBC Driver:Nameless]\nDriver=C:\\Acme\\other.dll\n";
constexpr const char* kInst = "Software\\ODBC\\ODBCINST.INI";
constexpr const char* kDriverKey = "Software\\ODBC\\ODBCINST.INI\\Acme Text";
constexpr const char* kFileDsn = "C:\\Program Files\\Common Files\\ODBC\\Data Sources\\acme.dsn";

class OdbcSections : public SystemStoreFixture {
  protected:
    void SetUp() override { loadScript(std::string(kApplication) + kSections); }
    bool run(const char* section, Direction direction) {
        return runSection(services().context, odbc_->reading(), section, direction);
    }
    bool installDriver() { return run("ODBC Driver", Direction::Install); }

    std::unique_ptr<OdbcOperations> odbc_ = nullptr;
    void useInstaller(std::uint64_t version = OdbcInstaller::kVersion) {
        odbc_ = std::make_unique<OdbcOperations>(services(), version);
    }
};

TEST_F(OdbcSections, ADriverIsRegisteredAsTheOdbcInstallerKeepsIt) {
    useInstaller();
    const auto installed = [&] {
        EXPECT_EQ(machineValue(kDriverKey, "Driver"), "C:\\Acme\\acmetxt.dll");
        EXPECT_EQ(machineValue(kDriverKey, "Setup"), "C:\\Acme\\acmesetup.dll");
        EXPECT_EQ(machineValue(kDriverKey, "APILevel"), "1");
        EXPECT_EQ(machineValue(kDriverKey, "UsageCount"), "1");
        EXPECT_EQ(machineValue(std::string(kInst) + "\\ODBC Drivers", "Acme Text"), "Installed");
        EXPECT_EQ(ui_.titles.front(), "Working on ODBC");
    };
    EXPECT_TRUE(roundTrip([&](Direction d) { return run("ODBC Driver", d); }, installed));
    EXPECT_TRUE(roundTrip([&](Direction d) { return run("ODBC Translator", d); },
                          [&] {
                              const std::string key = std::string(kInst) + "\\Acme Codes";
                              EXPECT_EQ(machineValue(key, "Translator"), "C:\\Acme\\acmexl.dll");
                              EXPECT_EQ(machineValue(std::string(kInst) + "\\ODBC Translators",
                                                     "Acme Codes"),
                                        "Installed");
                          }));
    EXPECT_TRUE(roundTrip(
        [&](Direction d) { return run("ODBC Core", d); },
        [&] { EXPECT_EQ(machineValue(std::string(kInst) + "\\ODBC Core", "UsageCount"), "1"); }));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(OdbcSections, EveryInstallationCountsTheDriverAndTheLastTakesItAway) {
    useInstaller();
    ASSERT_TRUE(installDriver());
    ASSERT_TRUE(installDriver());
    EXPECT_EQ(machineValue(kDriverKey, "UsageCount"), "2");
    ASSERT_TRUE(run("ODBC Driver", Direction::Uninstall));
    EXPECT_EQ(machineValue(kDriverKey, "UsageCount"), "1");
    ASSERT_TRUE(run("ODBC Driver", Direction::Uninstall));
    EXPECT_FALSE(session_->registry().keyExists(RegistryRoot::LocalMachine, kDriverKey));
}

TEST_F(OdbcSections, ASectionDoneBeforeReplacesItsDriverInsteadOfCountingItAgain) {
    useInstaller();
    ASSERT_TRUE(installDriver());
    loadScript(std::string(kApplication) + "MachineKeyName=AcmeTools\n" + kSections);
    useInstaller();
    ASSERT_EQ(
        session_->registry().writeString(
            RegistryRoot::LocalMachine, "Software\\AcmeTools\\Setup\\Sections", "ODBC Driver", "1"),
        0);
    ASSERT_TRUE(installDriver());
    EXPECT_EQ(machineValue(kDriverKey, "UsageCount"), "1");
}

TEST_F(OdbcSections, DataSourcesOfUsersAndOfTheMachine) {
    useInstaller();
    ASSERT_TRUE(installDriver());
    const auto user = [&] {
        const std::string key = "Software\\ODBC\\ODBC.INI\\Acme Orders";
        EXPECT_EQ(userValue(key, "Driver"), "C:\\Acme\\acmetxt.dll");
        EXPECT_EQ(userValue(key, "Description"), "Orders of C:\\Acme");
        EXPECT_EQ(userValue(key, "DSN"), "<none>");
        EXPECT_EQ(userValue("Software\\ODBC\\ODBC.INI\\ODBC Data Sources", "Acme Orders"),
                  "Acme Text");
    };
    EXPECT_TRUE(roundTrip([&](Direction d) { return run("ODBC DSN", d); }, user));
    const auto system = [&] {
        EXPECT_EQ(machineValue("Software\\ODBC\\ODBC.INI\\Acme Stock", "DefaultDir"), "C:\\Data");
        EXPECT_EQ(machineValue("Software\\ODBC\\ODBC.INI\\ODBC Data Sources", "Acme Stock"),
                  "Acme Text");
        EXPECT_EQ(userValue("Software\\ODBC\\ODBC.INI\\ODBC Data Sources", "Acme Stock"), "<none>");
    };
    EXPECT_TRUE(roundTrip([&](Direction d) { return run("ODBC System DSN:Stock", d); }, system));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(OdbcSections, ADataSourceWithoutItsDriverOrADriverWithoutNameIsRefused) {
    useInstaller();
    ui_.answer({buttons::kCancel, buttons::kIgnore});
    EXPECT_FALSE(run("ODBC DSN", Direction::Install));
    EXPECT_TRUE(run("ODBC Driver:Nameless", Direction::Install));
    ASSERT_EQ(ui_.numbers(), (std::vector<int>{messages::kOdbcFailed, messages::kOdbcFailed}));
    EXPECT_EQ(ui_.shown[0].box.text, "Cannot execute ODBC operation in section 'ODBC DSN'!");
    EXPECT_EQ(userValue("Software\\ODBC\\ODBC.INI\\Acme Orders", "Driver"), "<none>");
    EXPECT_FALSE(session_->registry().keyExists(RegistryRoot::LocalMachine, kInst));
}

TEST_F(OdbcSections, AFileDataSourceLiesInTheDefaultFolder) {
    useInstaller();
    const auto installed = [&] {
        EXPECT_EQ(read(kFileDsn), "[ODBC]\r\nDRIVER=Acme Text\r\nDBQ=C:\\Data\r\n");
        EXPECT_EQ(machineValue("Software\\ODBC\\ODBC.INI\\ODBC File DSN", "DefaultDSNDir"),
                  "C:\\Program Files\\Common Files\\ODBC\\Data Sources");
    };
    EXPECT_TRUE(roundTrip([&](Direction d) { return run("ODBC File DSN", d); }, installed));
    // A folder the machine names is used as it is, and stays.
    ASSERT_EQ(session_->registry().writeString(RegistryRoot::LocalMachine,
                                               "Software\\ODBC\\ODBC.INI\\ODBC File DSN",
                                               "DefaultDSNDir", "C:\\Dsn"),
              0);
    ASSERT_TRUE(run("ODBC File DSN", Direction::Install));
    EXPECT_NE(read("C:\\Dsn\\acme.dsn"), "<none>");
    ASSERT_TRUE(run("ODBC File DSN", Direction::Uninstall));
    EXPECT_EQ(read("C:\\Dsn\\acme.dsn"), "<none>");
    EXPECT_EQ(machineValue("Software\\ODBC\\ODBC.INI\\ODBC File DSN", "DefaultDSNDir"), "C:\\Dsn");
}

TEST_F(OdbcSections, ALineWithoutEqualsSignChangesNothing) {
    useInstaller();
    ASSERT_TRUE(installDriver());
    ui_.answer({buttons::kIgnore});
    EXPECT_TRUE(run("ODBC DSN:Broken", Direction::Install));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kOdbcFailed});
    EXPECT_EQ(ui_.shown[0].box.text, "Cannot execute ODBC operation in section 'ODBC DSN:Broken'!");
    EXPECT_FALSE(session_->registry().keyExists(RegistryRoot::CurrentUser,
                                                "Software\\ODBC\\ODBC.INI\\Broken"));
    ui_.answer({buttons::kCancel});
    EXPECT_FALSE(run("ODBC DSN:Broken", Direction::Install));
    // It installed nothing, so uninstalling says nothing.
    EXPECT_TRUE(run("ODBC DSN:Broken", Direction::Uninstall));
    EXPECT_EQ(ui_.shown.size(), 2u);
}

TEST_F(OdbcSections, PerUserPartsSetUpUserSourcesOnlyAndWorkstationsEverythingElse) {
    useInstaller();
    context().run.perUserPart = true;
    EXPECT_TRUE(installDriver());
    EXPECT_FALSE(session_->registry().keyExists(RegistryRoot::LocalMachine, kDriverKey));
    context().run.perUserPart = false;
    context().run.workstation = true;
    ASSERT_TRUE(installDriver());
    EXPECT_TRUE(run("ODBC DSN", Direction::Install));
    EXPECT_EQ(userValue("Software\\ODBC\\ODBC.INI\\ODBC Data Sources", "Acme Orders"), "<none>");
    context().run.workstation = false;
    context().run.perUserPart = true;
    EXPECT_TRUE(run("ODBC DSN", Direction::Install));
    EXPECT_EQ(userValue("Software\\ODBC\\ODBC.INI\\ODBC Data Sources", "Acme Orders"), "Acme Text");
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(OdbcSections, AnOldInstallerLibraryStopsTheSectionAndIsNamed) {
    useInstaller(0x0002'000a'0017'0000);  // 2.10.23.0
    EXPECT_FALSE(installDriver());
    ASSERT_EQ(ui_.numbers(), std::vector<int>{5552});
    EXPECT_EQ(ui_.shown[0].box.text,
              "Version out of date!\n\nNeed a new version of the file "
              "'C:\\windows\\system32\\ODBCCP32.DLL'.\n\nDescription: ODBC installer\n\n"
              "Need: 2.10.24.01\nHave: 2.10.23.00");
    EXPECT_FALSE(session_->registry().keyExists(RegistryRoot::LocalMachine, kDriverKey));
    // Removing needs no check.
    EXPECT_TRUE(run("ODBC Driver", Direction::Uninstall));
    EXPECT_EQ(ui_.shown.size(), 1u);
}

}  // namespace
}  // namespace kestrel::setup::test
