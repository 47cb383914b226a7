// The records of an installation: written as the layout says, read back, and deleted so
// that the registry is as it was.
#include <gtest/gtest.h>

#include "ExpectedMatchers.h"
#include "MachineSnapshot.h"
#include "RecordsFixture.h"
#include "records/InstallCommands.h"
#include "records/RecordReader.h"
#include "records/RecordRemoval.h"
#include "records/RecordWriter.h"

namespace kestrel::setup {
namespace {

using platform::RegistryRoot;
using records::InstallerProgram;
using test::kEntryKey;
using test::kInstaller;
using test::kSetupKey;
using test::productScript;

class InstallationRecordsTest : public test::SetupFixture {
  protected:
    // Every user's hive has its Software key, which stays when the last key below it goes.
    void SetUp() override {
        ASSERT_EQ(registry().createKey(RegistryRoot::CurrentUser, "Software"), 0);
    }

    OperationContext& install(const std::string& script, const PromptAnswers& answers = {}) {
        load(script);
        OperationContext& context = session_->context();
        prepare(context);
        (void)records::composeInstallCommands(context, context.settings.uninstallString,
                                              context.settings.reinstallString);
        EXPECT_TRUE(records::writeRecords(context, answers, InstallerProgram{kInstaller}));
        return context;
    }
    // What the run is, set before the records are written.
    std::function<void(OperationContext&)> prepare = [](OperationContext&) {};

    std::string machineValue(std::string_view key, std::string_view name) {
        return value(RegistryRoot::LocalMachine, key, name);
    }
};

TEST_F(InstallationRecordsTest, WritesTheSetupValuesMachineRecordsAndTheListEntry) {
    PromptAnswers answers;
    answers.put("Server", "srv1", false);
    prepare = [](OperationContext& context) {
        context.variables.set("User", "Ann");
        context.variables.set("Company", "");
    };
    const OperationContext& context = install(productScript(), answers);
    const std::string date =
        context.variables.value("SysDate") + " " + context.variables.value("SysTime");
    EXPECT_EQ(machineValue(std::string(kSetupKey) + "\\Prompts", "Server"), "srv1");
    EXPECT_EQ(machineValue(kSetupKey, "AppPath"), "C:\\Program Files\\Acme");
    EXPECT_EQ(machineValue(kSetupKey, "ProductName"), "Acme Tools");
    EXPECT_EQ(machineValue(kSetupKey, "DeveloperName"), "Acme");
    EXPECT_EQ(machineValue(kSetupKey, "Version"), "2.0");
    EXPECT_EQ(machineValue(kSetupKey, "Revision"), "3");
    EXPECT_EQ(machineValue(kSetupKey, "Date"), date);
    EXPECT_EQ(machineValue(kSetupKey, "ClientPath"), "<none>");  // no client run
    EXPECT_EQ(machineValue(kSetupKey, "DataPath"), "<none>");    // no AskDataDir
    const std::string uninstall =
        "\"C:\\windows\\_UnInst.exe\" \"C:\\Program Files\\Acme\\Setup\\Setup.inf\" /U";
    EXPECT_EQ(machineValue(kSetupKey, "UninstallString"), uninstall);
    EXPECT_EQ(machineValue(kSetupKey, "RegisteredOwner"), "Ann");
    EXPECT_EQ(machineValue(kSetupKey, "RegisteredOrganization"), "<none>");  // not set
    EXPECT_EQ(machineValue(kSetupKey, "SrcPath"), "C:\\setup");
    EXPECT_EQ(machineValue(kSetupKey, "SrcSetupExe"), kInstaller);
    EXPECT_EQ(machineValue(kSetupKey, "SrcSetupInf"), "C:\\setup\\Setup.inf");
    for (const char* mark : {"FromAdminSetup", "MachineSetup", "SharedSetup", "FromCD"})
        EXPECT_EQ(machineValue(kSetupKey, mark), "<none>") << mark;
    EXPECT_EQ(machineValue(kEntryKey, "DisplayName"), "Acme Tools 2.0");
    EXPECT_EQ(machineValue(kEntryKey, "QuietDisplayName"), "<none>");
    EXPECT_EQ(machineValue(kEntryKey, "UninstallString"), uninstall);
    EXPECT_EQ(machineValue(kEntryKey, "MachineKeyName"), "Acme\\Tools\\2.0");
    EXPECT_EQ(machineValue(std::string(kSetupKey) + "\\Users", "alice"), "<none>");
}

TEST_F(InstallationRecordsTest, MarksTheKindOfInstallationAndReplacesOldMarks) {
    ASSERT_EQ(registry().createKey(RegistryRoot::LocalMachine, kSetupKey), 0);
    ASSERT_EQ(registry().setValue(RegistryRoot::LocalMachine, kSetupKey, "FromCD",
                                  platform::RegistryValue::text(platform::kRegSz, "1")),
              0);
    prepare = [](OperationContext& context) {
        context.run.workstation = true;
        context.run.client = true;
        context.run.notifyWindow = 4711;  // started by another installer
    };
    install(productScript());
    EXPECT_EQ(machineValue(kSetupKey, "MachineSetup"), "1");
    EXPECT_EQ(machineValue(kSetupKey, "SharedSetup"), "1");
    EXPECT_EQ(machineValue(kSetupKey, "FromCD"), "<none>");
    EXPECT_EQ(machineValue(kSetupKey, "SrcSetupExe"), "C:\\setup\\Setup.exe");
    EXPECT_EQ(machineValue(kSetupKey, "SrcSetupInf"), "");
    // Workstations start the reinstall command from the list.
    EXPECT_EQ(machineValue(kEntryKey, "UninstallString"),
              "\"C:\\windows\\_UnInst.exe\" \"C:\\Program Files\\Acme\\Setup\\Setup.inf\" /X4");
}

TEST_F(InstallationRecordsTest, HiddenEntriesAndTheReinstallMode) {
    install(productScript("HideUninstall=1\nReinstallMode=1\n"));
    EXPECT_EQ(machineValue(kEntryKey, "DisplayName"), "<none>");
    EXPECT_EQ(machineValue(kEntryKey, "QuietDisplayName"), "Acme Tools 2.0");
    EXPECT_EQ(machineValue(kEntryKey, "UninstallString"),
              "\"C:\\windows\\_UnInst.exe\" \"C:\\Program Files\\Acme\\Setup\\Setup.inf\" /X4");
    // The uninstall command itself stays the uninstaller.
    EXPECT_EQ(machineValue(kSetupKey, "UninstallString"),
              "\"C:\\windows\\_UnInst.exe\" \"C:\\Program Files\\Acme\\Setup\\Setup.inf\" /U");

    // Shown again: the hidden name goes, so the list has one name for the entry.
    install(productScript("HideUninstall=0\n"));
    EXPECT_EQ(machineValue(kEntryKey, "DisplayName"), "Acme Tools 2.0");
    EXPECT_EQ(machineValue(kEntryKey, "QuietDisplayName"), "<none>");
}

TEST_F(InstallationRecordsTest, AServiceReleaseLeavesTheMachineRecordsAndCommands) {
    install(productScript("UninstallString=old /U\n"));
    install(productScript("ServiceRelease=1\nUninstallString=new /U\nRevision=4\n"));
    EXPECT_EQ(machineValue(kSetupKey, "Revision"), "4");
    EXPECT_EQ(machineValue(kSetupKey, "UninstallString"), "old /U");
    EXPECT_EQ(machineValue(kEntryKey, "UninstallString"), "old /U");
}

TEST_F(InstallationRecordsTest, AdministratorInstallationsAndKeylessScriptsRecordNothing) {
    const auto before = test::MachineSnapshot::take(*machine_);
    prepare = [](OperationContext& context) { context.run.admin = true; };
    install(productScript());
    prepare = [](OperationContext&) {};
    install("[Setup]\nVersion=5.11\n[Application]\nProductName=Keyless\n");
    EXPECT_EQ(before.differencesTo(test::MachineSnapshot::take(*machine_)), "");
}

TEST_F(InstallationRecordsTest, AFailedWriteAsksAndCancelEndsTheRun) {
    load(productScript());
    OperationContext& context = session_->context();
    // A user without a hive of their own here: nothing can be written for them.
    context.run.perUserPart = true;
    session_->registry().setWindowsUserSid("S-1-5-21-7-7-7-1001");
    ui_.answer({buttons::kCancel});
    EXPECT_FALSE(records::writeRecords(context, {}, InstallerProgram{kInstaller}));
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kCannotCreateKey});
    EXPECT_TRUE(context.run.abort);
}

// An entry name of nothing but backslashes would be the whole list of installed programs.
TEST_F(InstallationRecordsTest, AnEntryNameOfOnlyBackslashesLeavesTheListAlone) {
    const std::string other = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other";
    ASSERT_EQ(registry().createKey(RegistryRoot::LocalMachine, other), 0);
    ASSERT_EQ(registry().setValue(RegistryRoot::LocalMachine, other, "DisplayName",
                                  platform::RegistryValue::text(platform::kRegSz, "Other")),
              0);
    const std::string script = productScript("UninstallKeyName=\\\\\n");
    install(script);
    EXPECT_EQ(machineValue(other, "UninstallString"), "<none>");
    load(script);
    session_->context().run.uninstall = true;
    records::deleteRecords(session_->context());
    EXPECT_EQ(machineValue(other, "DisplayName"), "Other");
}

// The installer's own commands: quoted on 4.0 and later, parent steps folded.
TEST_F(InstallationRecordsTest, ComposesTheCommandsFromTheScriptOrTheInstalledScript) {
    load(
        productScript("UninstallString=%App%\\Setup\\..\\unwise.exe /U\n"
                      "ReinstallString=%App%\\setup.exe\n"));
    OperationContext& context = session_->context();
    auto commands = records::composeInstallCommands(context, context.settings.uninstallString,
                                                    context.settings.reinstallString);
    EXPECT_EQ(commands.uninstall, "C:\\Program Files\\Acme\\unwise.exe /U");
    EXPECT_EQ(commands.reinstall, "C:\\Program Files\\Acme\\setup.exe /X4");
    EXPECT_EQ(context.variables.value("UninstallString"), commands.uninstall);
    EXPECT_EQ(context.variables.value("ReinstallString"), commands.reinstall);

    // Before 4.0 the program is not quoted; the script's path always is.
    ASSERT_EQ(registry().createKey(RegistryRoot::LocalMachine, "Software\\Wine"), 0);
    ASSERT_EQ(registry().setValue(RegistryRoot::LocalMachine, "Software\\Wine", "Version",
                                  platform::RegistryValue::text(platform::kRegSz, "nt351")),
              0);
    load(productScript("SetupInfDir=..\\Shared\n"));
    commands = records::composeInstallCommands(session_->context(), "", "");
    EXPECT_EQ(commands.uninstall,
              "C:\\windows\\_UnInst.exe \"C:\\Program Files\\Shared\\Setup.inf\" /U");
    EXPECT_EQ(commands.reinstall,
              "C:\\windows\\_UnInst.exe \"C:\\Program Files\\Shared\\Setup.inf\" /X4");
}

TEST(FoldParentSteps, TakesOutTheFolderBeforeEachStepButNoDriveOrStep) {
    EXPECT_EQ(records::foldParentSteps("C:\\A\\B\\..\\x"), "C:\\A\\x");
    EXPECT_EQ(records::foldParentSteps("\"C:\\A\\B\\..\\..\\x\" /U"), "\"C:\\x\" /U");
    EXPECT_EQ(records::foldParentSteps("C:\\..\\x"), "C:\\..\\x");
    EXPECT_EQ(records::foldParentSteps("\"C:\\A\\..\" \"D:\\..\""), "\"C:\" \"D:\\..\"");
    EXPECT_EQ(records::foldParentSteps("C:\\A\\..name\\x"), "C:\\A\\..name\\x");
    EXPECT_EQ(records::foldParentSteps("..\\..\\x"), "..\\..\\x");
}

// Installed, read back and removed: every key and value is as before, the list included.
TEST_F(InstallationRecordsTest, WriteReadBackDeleteLeavesTheRegistryAsItWas) {
    const auto before = test::MachineSnapshot::take(*machine_);
    PromptAnswers answers;
    answers.put("Server", "srv1", false);
    prepare = [](OperationContext& context) {
        context.variables.set("User", "Ann");
        context.variables.set("Company", "Acme Corp");
        context.variables.setDirectory("Data", "C:\\Data");
    };
    install(productScript("AskDataDir=1\nUserKeyName=Acme\\\\Tools\n"), answers);
    ASSERT_EQ(registry().createKey(RegistryRoot::CurrentUser, "Software\\Acme\\Tools\\Recent"), 0);
    ASSERT_THAT(session_->registry().save(), kestrel::test::Succeeded());

    load(productScript("AskDataDir=1\nUserKeyName=Acme\\\\Tools\n"));
    OperationContext& context = session_->context();
    context.run.uninstall = true;
    context.variables.set("App", "");
    const records::RegisteredProduct product = records::readBackRecords(context);
    EXPECT_EQ(product.productName, "Acme Tools");
    EXPECT_EQ(context.variables.value("App"), "C:\\Program Files\\Acme\\");
    EXPECT_EQ(context.variables.value("User"), "Ann");
    EXPECT_EQ(context.variables.value("Company"), "Acme Corp");
    EXPECT_EQ(context.variables.value("Data"), "C:\\Data\\");
    EXPECT_FALSE(context.run.workstation || context.run.client || context.run.adminCopy);

    records::deleteRecords(context);
    ASSERT_THAT(session_->registry().save(), kestrel::test::Succeeded());
    EXPECT_EQ(before.differencesTo(test::MachineSnapshot::take(*machine_)), "");
}

// A workstation installation and one user's part: the part goes and the workstation's
// records stay; then the workstation goes too.
TEST_F(InstallationRecordsTest, PerUserPartsAreRecordedInTheUsersHiveAndRemovedAlone) {
    const auto before = test::MachineSnapshot::take(*machine_);
    prepare = [](OperationContext& context) { context.run.workstation = true; };
    install(productScript());
    const auto workstation = test::MachineSnapshot::take(*machine_);

    prepare = [](OperationContext& context) {
        context.run.perUserPart = true;
        context.run.client = true;
        context.variables.setDirectory("Client", "C:\\Users\\alice\\Acme");
    };
    install(productScript());
    const RegistryRoot user = RegistryRoot::CurrentUser;
    EXPECT_EQ(value(user, kSetupKey, "ClientPath"), "C:\\Users\\alice\\Acme");
    EXPECT_EQ(value(user, kSetupKey, "ProductName"), "Acme Tools");
    EXPECT_EQ(value(user, kSetupKey, "SrcSetupExe"), "<none>");  // machine records: no
    EXPECT_EQ(value(user, kEntryKey, "QuietDisplayName"), "Acme Tools 2.0");
    EXPECT_EQ(value(user, kEntryKey, "UninstallString"),
              std::string(kInstaller) + " C:\\setup\\Setup.inf /U");
    EXPECT_EQ(value(user, kEntryKey, "MachineKeyName"), "Acme\\Tools\\2.0");
    const OperationContext& context = session_->context();
    EXPECT_EQ(machineValue(std::string(kSetupKey) + "\\Users", "alice"),
              context.variables.value("SysDate") + " " + context.variables.value("SysTime"));

    load(productScript());
    session_->context().run.perUserPart = true;
    session_->context().run.uninstall = true;
    records::deleteRecords(session_->context());
    EXPECT_EQ(workstation.differencesTo(test::MachineSnapshot::take(*machine_)), "");

    load(productScript());
    session_->context().run.uninstall = true;
    session_->context().run.workstation = true;
    records::deleteRecords(session_->context());
    EXPECT_EQ(before.differencesTo(test::MachineSnapshot::take(*machine_)), "");
}

TEST_F(InstallationRecordsTest, PerUserUninstallCommandQuotesPathsWithBlanks) {
    prepare = [](OperationContext& context) { context.run.workstation = true; };
    install(productScript());
    ASSERT_EQ(registry().setValue(
                  RegistryRoot::LocalMachine, kSetupKey, "SrcSetupExe",
                  platform::RegistryValue::text(platform::kRegSz, "\\\\srv\\apps\\My Setup.exe")),
              0);
    ASSERT_EQ(registry().setValue(
                  RegistryRoot::LocalMachine, kSetupKey, "SrcSetupInf",
                  platform::RegistryValue::text(platform::kRegSz, "\\\\srv\\apps\\My Setup.inf")),
              0);
    prepare = [](OperationContext& context) { context.run.perUserPart = true; };
    install(productScript());
    EXPECT_EQ(value(RegistryRoot::CurrentUser, kEntryKey, "UninstallString"),
              "\"\\\\srv\\apps\\My Setup.exe\" \"\\\\srv\\apps\\My Setup.inf\" /U");
}

// The user key goes with the product, except for workstations and for the installer's own
// child runs (extra flag 2), and never when it names components (%Option...).
TEST_F(InstallationRecordsTest, TheUserKeyGoesUnlessKeptOrPerComponent) {
    const auto userKeyAfterUninstall = [&](const std::string& userKeyName, bool workstation,
                                           std::uint32_t extraFlags) {
        ASSERT_EQ(registry().createKey(RegistryRoot::CurrentUser, "Software\\Acme\\Tools\\A"), 0);
        load(productScript("UserKeyName=" + userKeyName + "\n"));
        session_->context().run.workstation = workstation;
        session_->context().run.extraFlags = extraFlags;
        records::deleteRecords(session_->context());
    };
    const auto exists = [&](const char* key) {
        return registry().openKey(RegistryRoot::CurrentUser, key) == 0;
    };
    userKeyAfterUninstall("Acme\\\\Tools", true, 0);
    EXPECT_TRUE(exists("Software\\Acme\\Tools\\A"));
    userKeyAfterUninstall("Acme\\\\Tools", false, extra::kNoEndMessage);
    EXPECT_TRUE(exists("Software\\Acme\\Tools\\A"));
    userKeyAfterUninstall("Acme\\\\%OptionName%", false, 0);
    EXPECT_TRUE(exists("Software\\Acme\\Tools\\A"));
    // A name that expands to nothing is no key to delete.
    userKeyAfterUninstall("%NoSuchVariable%", false, 0);
    EXPECT_TRUE(exists("Software\\Acme\\Tools\\A"));
    userKeyAfterUninstall("Acme\\\\Tools", false, 0);
    EXPECT_FALSE(exists("Software\\Acme"));
    EXPECT_TRUE(exists("Software"));
}

// Records changed by hand read as empty: another type, a text far beyond any variable.
TEST_F(InstallationRecordsTest, DamagedRecordsReadAsEmpty) {
    install(productScript());
    auto& hive = registry();
    const RegistryRoot machine = RegistryRoot::LocalMachine;
    ASSERT_EQ(
        hive.setValue(machine, kSetupKey, "AppPath",
                      platform::RegistryValue::text(platform::kRegSz, std::string(1 << 20, 'x'))),
        0);
    ASSERT_EQ(hive.setValue(machine, kSetupKey, "ProductName", platform::RegistryValue::dword(7)),
              0);
    ASSERT_EQ(hive.setValue(machine, kSetupKey, "RegisteredOwner",
                            platform::RegistryValue::bytes(platform::kRegBinary,
                                                           std::string("\xff\x00\x41", 3))),
              0);
    load(productScript());
    OperationContext& context = session_->context();
    context.run.repeat = true;
    const auto product = records::readBackRecords(context);
    EXPECT_EQ(product.productName, "");
    EXPECT_EQ(context.variables.value("App"), "");
    EXPECT_EQ(context.variables.value("User"), "");
}

}  // namespace
}  // namespace kestrel::setup
