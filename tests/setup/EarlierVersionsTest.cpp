// Finding the product's installation and its other versions, replacing and removing them.
#include <gtest/gtest.h>

#include <map>

#include "RecordsFixture.h"
#include "program/NotifyWindow.h"
#include "records/Detection.h"
#include "records/EarlierVersionRemoval.h"
#include "records/InstalledVersions.h"
#include "records/WorkstationUninstall.h"

namespace kestrel::setup {
namespace {

using platform::RegistryRoot;
using test::kEntryKey;
using test::kInstaller;
using test::kSetupKey;
using test::productScript;

class EarlierVersionsTest : public test::SetupFixture {
  protected:
    void put(RegistryRoot root, const std::string& key,
             const std::map<std::string, std::string>& values) {
        ASSERT_EQ(registry().createKey(root, key), 0);
        for (const auto& [name, text] : values) {
            ASSERT_EQ(registry().setValue(root, key, name,
                                          platform::RegistryValue::text(platform::kRegSz, text)),
                      0);
        }
    }
    // A version of the product registered on the machine.
    void registerVersion(const std::string& version, std::map<std::string, std::string> values) {
        values.emplace("ProductName", "Acme Tools");
        put(RegistryRoot::LocalMachine, "Software\\Acme\\Tools\\" + version + "\\Setup", values);
    }
    bool exists(RegistryRoot root, const std::string& key) {
        return registry().openKey(root, key) == 0;
    }

    test::RecordingStarter starter_;
};

long notifyWindowOf(std::string_view commandLine) {
    return std::stol(std::string(commandLine.substr(commandLine.rfind(" /W") + 3)));
}

TEST_F(EarlierVersionsTest, DetectsInstalledNewerRevisionAndPerUserPart) {
    load(productScript());
    EXPECT_FALSE(records::detectInstallation(session_->context()).installed);

    registerVersion("2.0", {{"Revision", "2"}});
    load(productScript());
    auto found = records::detectInstallation(session_->context());
    EXPECT_TRUE(found.installed);
    EXPECT_TRUE(found.newerRevision);  // 3 > 2
    EXPECT_FALSE(found.perUserPart);

    registerVersion("2.0", {{"Revision", "10"}, {"MachineSetup", "1"}});
    load(productScript());
    found = records::detectInstallation(session_->context());
    // A workstation installation: this run is the user's part, which is not installed yet.
    EXPECT_TRUE(found.perUserPart);
    EXPECT_FALSE(found.installed);
    put(RegistryRoot::CurrentUser, kSetupKey, {{"ProductName", "Acme Tools"}, {"Revision", "1"}});
    found = records::detectInstallation(session_->context());
    EXPECT_TRUE(found.installed);
    EXPECT_TRUE(found.newerRevision);  // the user's revision counts

    // The workstation's own runs see the machine.
    session_->context().run.workstation = true;
    found = records::detectInstallation(session_->context());
    EXPECT_FALSE(found.perUserPart);
    EXPECT_FALSE(found.newerRevision);  // 3 < 10
}

TEST_F(EarlierVersionsTest, AnUninstallationFindsAUsersPartWhenTheMachineHasNone) {
    put(RegistryRoot::CurrentUser, kSetupKey, {{"ProductName", "Acme Tools"}});
    load(productScript());
    EXPECT_FALSE(records::detectInstallation(session_->context()).installed);
    session_->context().run.uninstall = true;
    const auto found = records::detectInstallation(session_->context());
    EXPECT_TRUE(found.installed);
    EXPECT_TRUE(found.perUserPart);
}

TEST_F(EarlierVersionsTest, FindsTheInstalledAndTheEarlierVersions) {
    registerVersion("1.10", {{"Revision", "5"}, {"AppPath", "C:\\Acme110"}});
    registerVersion("1.9", {{"AppPath", "C:\\Acme19"}});
    put(RegistryRoot::LocalMachine, "Software\\Acme\\Tools\\0.5\\Setup", {{"Date", "x"}});
    load(productScript("Version=1.10\n"));
    OperationContext& context = session_->context();
    const auto installed = records::readInstalledVersion(context);
    ASSERT_TRUE(installed);
    EXPECT_EQ(installed->version, "1.10");  // the first with a ProductName
    EXPECT_EQ(installed->appPath, "C:\\Acme110");
    EXPECT_EQ(context.variables.value("InstalledVersion"), "1.10");
    EXPECT_EQ(context.variables.value("InstalledRevision"), "5");
    // 1.9 is no earlier version than 1.10: the parts after the first compare as text.
    EXPECT_FALSE(records::findRegisteredVersion(context, true));

    load(productScript("Version=2.0\n"));
    const auto earlier = records::findRegisteredVersion(session_->context(), true);
    ASSERT_TRUE(earlier);
    EXPECT_EQ(earlier->version, "1.10");
}

TEST_F(EarlierVersionsTest, AMachineKeyNameWithoutBackslashFindsNoOtherVersion) {
    put(RegistryRoot::LocalMachine, "Software\\Tools\\Setup", {{"ProductName", "Acme Tools"}});
    load(productScript("MachineKeyName=Tools\n"));
    OperationContext& context = session_->context();
    EXPECT_FALSE(records::readInstalledVersion(context));
    EXPECT_EQ(context.variables.value("InstalledVersion"), "");
    EXPECT_FALSE(records::findRegisteredVersion(context, true));
}

TEST_F(EarlierVersionsTest, ReplacesTheRecordsOfTheVersionWhosePlaceItTook) {
    registerVersion("1.0", {{"AppPath", "C:\\PROGRAM FILES\\ACME"}});
    put(RegistryRoot::LocalMachine, "Software\\Acme\\Tools\\1.0\\Setup\\Options", {{"Base", "1"}});
    put(RegistryRoot::LocalMachine,
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Tools 1.0",
        {{"DisplayName", "Acme Tools 1.0"}});
    registerVersion("2.0", {});  // this installation's own records
    put(RegistryRoot::LocalMachine, kEntryKey, {{"DisplayName", "Acme Tools 2.0"}});
    load(productScript());
    OperationContext& context = session_->context();
    context.variables.set("InstalledVersion", "1.0");
    records::replaceEarlierVersionRecords(context);
    EXPECT_FALSE(exists(RegistryRoot::LocalMachine, "Software\\Acme\\Tools\\1.0"));
    EXPECT_FALSE(exists(RegistryRoot::LocalMachine,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Tools 1.0"));
    EXPECT_TRUE(exists(RegistryRoot::LocalMachine, kSetupKey));
    EXPECT_TRUE(exists(RegistryRoot::LocalMachine, kEntryKey));
}

TEST_F(EarlierVersionsTest, KeepsAnEarlierVersionInstalledElsewhereOrForOtherRuns) {
    registerVersion("1.0", {{"AppPath", "C:\\Old\\Acme"}});
    load(productScript());
    OperationContext& context = session_->context();
    context.variables.set("InstalledVersion", "1.0");
    records::replaceEarlierVersionRecords(context);
    EXPECT_TRUE(exists(RegistryRoot::LocalMachine, "Software\\Acme\\Tools\\1.0\\Setup"));

    context.variables.setDirectory("App", "C:\\Old\\Acme");
    context.run.maintenance = true;
    records::replaceEarlierVersionRecords(context);
    EXPECT_TRUE(exists(RegistryRoot::LocalMachine, "Software\\Acme\\Tools\\1.0\\Setup"));
}

// A MachineKeyName whose last part is no version: the "installed version" found is the key
// of this very installation, which must survive it.
TEST_F(EarlierVersionsTest, NeverDeletesTheRecordsOfThisInstallation) {
    put(RegistryRoot::LocalMachine, "Software\\Acme\\Tools\\Main\\Setup",
        {{"ProductName", "Acme Tools"}, {"AppPath", "C:\\Program Files\\Acme"}});
    load(productScript("MachineKeyName=Acme\\\\Tools\\\\Main\nUninstallKeyName=Acme Tools\n"));
    OperationContext& context = session_->context();
    ASSERT_TRUE(records::readInstalledVersion(context));
    EXPECT_EQ(context.variables.value("InstalledVersion"), "Main");
    records::replaceEarlierVersionRecords(context);
    EXPECT_TRUE(exists(RegistryRoot::LocalMachine, "Software\\Acme\\Tools\\Main\\Setup"));
}

// An entry name that holds the version's text without being made from %Version% names
// this installation's entry for every version.
TEST_F(EarlierVersionsTest, KeepsAnEntryWhoseNameDoesNotChangeWithTheVersion) {
    registerVersion("1.0", {{"AppPath", "C:\\Program Files\\Acme"}});
    const std::string entry =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Tools 2.0 Suite";
    put(RegistryRoot::LocalMachine, entry, {{"DisplayName", "Acme"}});
    load(productScript("UninstallKeyName=Acme Tools 2.0 Suite\n"));
    OperationContext& context = session_->context();
    context.variables.set("InstalledVersion", "1.0");
    records::replaceEarlierVersionRecords(context);
    EXPECT_FALSE(exists(RegistryRoot::LocalMachine, "Software\\Acme\\Tools\\1.0"));
    EXPECT_TRUE(exists(RegistryRoot::LocalMachine, entry));
}

TEST_F(EarlierVersionsTest, RemovesAnEarlierVersionWithItsUninstallCommand) {
    registerVersion("1.0", {{"UninstallString", "C:\\windows\\_UnInst.exe C:\\a\\Setup.inf /U"}});
    load(productScript());
    OperationContext& context = session_->context();
    context.run.silent = true;
    context.run.silentLevel = 1;
    context.run.workstation = true;
    records::offerEarlierVersionRemoval(context, starter_);
    ASSERT_EQ(starter_.childCommands(),
              std::vector<std::string>{"C:\\windows\\_UnInst.exe C:\\a\\Setup.inf /U /X2 /S1 /AW"});
    EXPECT_TRUE(starter_.starts.front().wait);
    EXPECT_TRUE(ui_.shown.empty());

    // Not silent: asked first; No keeps it.
    load(productScript());
    ui_.answer({buttons::kNo});
    records::offerEarlierVersionRemoval(session_->context(), starter_);
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kEarlierVersionFound});
    EXPECT_NE(ui_.shown.front().box.text.find("'1.0'"), std::string::npos);
    EXPECT_EQ(starter_.starts.size(), 1u);
}

TEST_F(EarlierVersionsTest, FallsBackToTheListEntryAndSaysWhenItCannotStart) {
    registerVersion("1.0", {});
    put(RegistryRoot::LocalMachine, kEntryKey, {{"UninstallString", "\"C:\\x y\\un.exe\""}});
    load(productScript());
    starter_.answer = 2;
    ui_.answer({buttons::kYes});
    records::offerEarlierVersionRemoval(session_->context(), starter_);
    EXPECT_EQ(starter_.childCommands(), std::vector<std::string>{"\"C:\\x y\\un.exe\" /X2"});
    EXPECT_EQ(ui_.numbers(),
              (std::vector<int>{messages::kEarlierVersionFound, messages::kCannotExecute}));
    EXPECT_NE(ui_.shown.back().box.text.find("Error 2!"), std::string::npos);
}

// The uninstaller reports through its notify window; the restart it decided is this run's.
TEST_F(EarlierVersionsTest, ARestartTheUninstallerDecidedBecomesThisRunsOwn) {
    registerVersion("1.0", {{"UninstallString", "C:\\windows\\_UnInst.exe /U"}});
    load(productScript());
    OperationContext& context = session_->context();
    context.run.silent = true;
    starter_.child = [](std::string_view commandLine) {
        EXPECT_TRUE(notifyCaller(notifyWindowOf(commandLine), RestartKind::Computer));
    };
    records::offerEarlierVersionRemoval(context, starter_);
    EXPECT_TRUE(context.run.restartComputer);
    EXPECT_FALSE(context.run.restartWindows);

    // A child that needs none says only that it ended.
    load(productScript());
    session_->context().run.silent = true;
    starter_.child = [](std::string_view commandLine) {
        EXPECT_TRUE(notifyCaller(notifyWindowOf(commandLine), RestartKind::None));
    };
    records::offerEarlierVersionRemoval(session_->context(), starter_);
    EXPECT_FALSE(session_->context().run.restartComputer);

    // Once the caller has gone, its window does not exist.
    long gone = 0;
    {
        auto window = NotifyWindow::open();
        ASSERT_TRUE(window);
        gone = window->number();
    }
    EXPECT_FALSE(notifyCaller(gone, RestartKind::Windows));
}

TEST_F(EarlierVersionsTest, NoUninstallCommandOrNoOfferMeansNothingHappens) {
    registerVersion("1.0", {});
    load(productScript("UninstallKeyName=\n"));
    session_->context().run.silent = true;
    records::offerEarlierVersionRemoval(session_->context(), starter_);
    load(productScript("AskUninstallOld=0\n"));
    registerVersion("1.0", {{"UninstallString", "un.exe"}});
    records::offerEarlierVersionRemoval(session_->context(), starter_);
    load(productScript());
    session_->context().run.repeat = true;
    records::offerEarlierVersionRemoval(session_->context(), starter_);
    EXPECT_TRUE(starter_.starts.empty());
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(EarlierVersionsTest, AWorkstationUsedByTwoOthersAsksBeforeItGoes) {
    registerVersion("2.0", {{"MachineSetup", "1"}});
    put(RegistryRoot::LocalMachine, std::string(kSetupKey) + "\\Users",
        {{"bob", "d"}, {"ALICE", "d"}, {"carol", "d"}});
    load(productScript());
    OperationContext& context = session_->context();
    EXPECT_EQ(records::otherUsers(context), 2);
    ui_.answer({buttons::kNo});
    EXPECT_FALSE(records::prepareWorkstationUninstall(context, starter_, {kInstaller}));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kStillUsedByOthers});
    EXPECT_NE(ui_.shown.front().box.text.find("'Acme Tools' is still being used by 2 others"),
              std::string::npos);

    // Yes: this user's own part goes first, through the installer itself.
    put(RegistryRoot::CurrentUser, kSetupKey, {{"ProductName", "Acme Tools"}});
    context.run.extraFlags = extra::kNoEndMessage;
    ui_.answer({buttons::kYes});
    EXPECT_TRUE(records::prepareWorkstationUninstall(context, starter_, {kInstaller}));
    EXPECT_EQ(starter_.childCommands(),
              std::vector<std::string>{"\"" + std::string(kInstaller) +
                                       "\" \"C:\\setup\\Setup.inf\" /U /S /X2"});

    // Silent runs do not ask.
    context.run.silent = true;
    ui_.shown.clear();
    EXPECT_TRUE(records::prepareWorkstationUninstall(context, starter_, {kInstaller}));
    EXPECT_TRUE(ui_.shown.empty());
}

}  // namespace
}  // namespace kestrel::setup
