// Services and event sources in the service manager's registry layout of the root, started
// and stopped through Wine's service controller (faked here), with their messages.
#include <gtest/gtest.h>

#include "MachineSnapshot.h"
#include "ServiceFixture.h"
#include "messages/MessageStrings.h"
#include "system/ServiceOperations.h"

namespace kestrel::setup::test {
namespace {

using commands::SystemCommand;

constexpr const char* kScript = R"([Setup]
Version=5.11
[Application]
ApplicationDir=C:\Acme
[Services]
KestrelBeacon=Kestrel Beacon,SERVICE_WIN32_OWN_PROCESS|SERVICE_INTERACTIVE_PROCESS,SERVICE_AUTO_START,SERVICE_ERROR_SEVERE,Kestrel Group,RpcSs;+NetGroup,svcuser,secret,BeaconEvents
Plain=
Driver=Kestrel Driver,SERVICE_KERNEL_DRIVER,SERVICE_BOOT_START
TooMany=a,,,,,,,,,extra
Wrong=x,SERVICE_WIN32_BOGUS
[EventSources]
BeaconEvents=Application,EVENTLOG_ERROR_TYPE|EVENTLOG_WARNING_TYPE,%App%\beacon.dll,,%App%\cats.dll,3
)";

const std::string kServices = "System\\CurrentControlSet\\Services\\";
const std::string kApplicationLog = kServices + "EventLog\\Application";

class ServiceOperationsTest : public ServiceFixture {
  protected:
    ServiceOperations& operations() {
        start(kScript);
        operations_ = std::make_unique<ServiceOperations>(
            *services_,
            [this](std::string_view line, Direction direction) {
                accountLines_.push_back((direction == Direction::Install ? "+ " : "- ") +
                                        std::string(line));
                return accountAnswer_;
            },
            wine_);
        return *operations_;
    }
    static copy::InstalledFile file(const std::string& service) {
        return {"C:\\Acme\\BEACONSV.EXE", {}, {}, service, false};
    }
    // The controller's answers for a running service that stops when asked.
    void runningUntilStopped(const std::string& name) {
        wine_.answers["sc query " + name] = {FakeWine::state(4), FakeWine::state(3),
                                             FakeWine::state(1)};
    }

    std::vector<std::string> accountLines_;
    bool accountAnswer_ = true;
    std::unique_ptr<ServiceOperations> operations_;
};

TEST_F(ServiceOperationsTest, InstallsEveryFieldOfTheDefinitionAndRemovesWithoutTrace) {
    ServiceOperations& services = operations();
    const MachineSnapshot before = MachineSnapshot::take(*machine_);

    ASSERT_TRUE(services.installService(file("KestrelBeacon")));
    const std::string key = kServices + "KestrelBeacon";
    EXPECT_EQ(hklm(key, "Type"), "272");
    EXPECT_EQ(hklm(key, "Start"), "2");
    EXPECT_EQ(hklm(key, "ErrorControl"), "2");
    EXPECT_EQ(hklm(key, "ImagePath"), "C:\\Acme\\BEACONSV.EXE");
    EXPECT_EQ(hklm(key, "DisplayName"), "Kestrel Beacon");
    EXPECT_EQ(hklm(key, "ObjectName"), ".\\svcuser");
    EXPECT_EQ(hklm(key, "Group"), "Kestrel Group");
    EXPECT_EQ(hklm(key, "DependOnService"), "RpcSs");
    EXPECT_EQ(hklm(key, "DependOnGroup"), "NetGroup");
    EXPECT_EQ(hklm(key, "Password"), "<none>");  // never kept in the open
    const std::string source = kApplicationLog + "\\BeaconEvents";
    EXPECT_EQ(hklm(source, "TypesSupported"), "3");
    EXPECT_EQ(hklm(source, "EventMessageFile"), "C:\\Acme\\beacon.dll");
    EXPECT_EQ(hklm(source, "ParameterMessageFile"), "<none>");
    EXPECT_EQ(hklm(source, "CategoryMessageFile"), "C:\\Acme\\cats.dll");
    EXPECT_EQ(hklm(source, "CategoryCount"), "3");
    EXPECT_EQ(hklm(kApplicationLog, "Sources"), "BeaconEvents");
    EXPECT_EQ(accountLines_,
              (std::vector<std::string>{"+ LocalUser.Add ('svcuser', 'secret', '', PRIV_USER)",
                                        "+ Privilege.Add ('SeServiceLogonRight', 'svcuser')"}));
    EXPECT_EQ(wine_.calls, std::vector<std::string>{"sc start KestrelBeacon"});
    EXPECT_FALSE(context().run.restartComputer);

    runningUntilStopped("KestrelBeacon");
    wine_.calls.clear();
    ASSERT_TRUE(services.removeService(file("KestrelBeacon")));
    EXPECT_EQ(wine_.calls,
              (std::vector<std::string>{"sc query KestrelBeacon", "sc stop KestrelBeacon",
                                        "sc query KestrelBeacon", "sc query KestrelBeacon"}));
    EXPECT_EQ(accountLines_.size(), 4u);
    EXPECT_EQ(accountLines_[2], "- LocalUser.Add ('svcuser', 'secret', '', PRIV_USER)");
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ServiceOperationsTest, EmptyFieldsGiveAnOwnProcessStartedOnDemand) {
    ASSERT_TRUE(operations().installService(file("Plain")));
    const std::string key = kServices + "Plain";
    EXPECT_EQ(hklm(key, "Type"), "16");
    EXPECT_EQ(hklm(key, "Start"), "3");
    EXPECT_EQ(hklm(key, "ErrorControl"), "1");
    EXPECT_EQ(hklm(key, "DisplayName"), "Plain");
    EXPECT_EQ(hklm(key, "ObjectName"), "LocalSystem");
    EXPECT_EQ(hklm(key, "Group"), "<none>");
    // Its own event source, under its own name.
    EXPECT_EQ(hklm(kApplicationLog + "\\Plain", "TypesSupported"), "7");
    EXPECT_TRUE(accountLines_.empty());
    EXPECT_TRUE(wine_.calls.empty());  // started on demand only
}

TEST_F(ServiceOperationsTest, AnExistingServiceIsReconfiguredNotMadeAgain) {
    ServiceOperations& services = operations();
    const std::string key = kServices + "Plain";
    ASSERT_EQ(context().registry.writeString(platform::RegistryRoot::LocalMachine, key,
                                             "Description", "kept"),
              0);
    ASSERT_EQ(context().registry.writeString(platform::RegistryRoot::LocalMachine, key,
                                             "ObjectName", ".\\old"),
              0);
    ASSERT_TRUE(services.installService(file("Plain")));
    EXPECT_EQ(hklm(key, "Description"), "kept");
    EXPECT_EQ(hklm(key, "ObjectName"), "LocalSystem");
    EXPECT_EQ(hklm(key, "Type"), "16");
}

TEST_F(ServiceOperationsTest, BootDriversAskForARestartAndRunAsNoAccount) {
    ASSERT_TRUE(operations().installService(file("Driver")));
    EXPECT_TRUE(context().run.restartComputer);
    EXPECT_EQ(hklm(kServices + "Driver", "Type"), "1");
    EXPECT_EQ(hklm(kServices + "Driver", "ObjectName"), "<none>");
    EXPECT_TRUE(wine_.calls.empty());
}

TEST_F(ServiceOperationsTest, WrongDefinitionsAreToldAndChangeNothing) {
    ServiceOperations& services = operations();
    const MachineSnapshot before = MachineSnapshot::take(*machine_);
    EXPECT_TRUE(services.installService(file("TooMany")));
    EXPECT_TRUE(services.installService(file("Wrong")));
    ASSERT_EQ(ui_.shown.size(), 2u);
    EXPECT_EQ(ui_.shown[0].box.text, "Incorrect Flags: a,,,,,,,,,extra!");
    EXPECT_EQ(ui_.shown[1].box.text, "Incorrect Flags: SERVICE_WIN32_BOGUS!");
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
}

TEST_F(ServiceOperationsTest, WithoutWineAnAutomaticServiceCannotStart) {
    ServiceOperations& services = operations();
    wine_.present = false;
    ui_.answer({buttons::kIgnore, buttons::kCancel});
    EXPECT_TRUE(services.installService(file("KestrelBeacon")));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kServiceFailed});
    EXPECT_EQ(ui_.shown[0].box.text,
              "Cannot install or uninstall service 'Kestrel Beacon'!\n\nWindows error code: "
              "1722\nThe RPC server is unavailable.");
    EXPECT_EQ(hklm(kServices + "KestrelBeacon", "Start"), "2");  // installed all the same
    EXPECT_FALSE(context().run.abort);

    EXPECT_FALSE(services.installService(file("KestrelBeacon")));
    EXPECT_TRUE(context().run.abort);
    // Nothing runs without Wine, so nothing needs stopping for the removal.
    EXPECT_TRUE(services.removeService(file("KestrelBeacon")));
    EXPECT_FALSE(hasKey(kServices + "KestrelBeacon"));
    EXPECT_TRUE(wine_.calls.empty());
}

TEST_F(ServiceOperationsTest, ACancelledAccountCommandStopsBeforeTheService) {
    ServiceOperations& services = operations();
    accountAnswer_ = false;
    EXPECT_FALSE(services.installService(file("KestrelBeacon")));
    EXPECT_FALSE(hasKey(kServices + "KestrelBeacon"));
}

TEST_F(ServiceOperationsTest, Windows98StartsServicesFromRunServices) {
    makeWindows98();
    ServiceOperations& services = operations();
    const MachineSnapshot before = MachineSnapshot::take(*machine_);
    ASSERT_TRUE(services.installService(file("KestrelBeacon")));
    EXPECT_EQ(hklm("Software\\Microsoft\\Windows\\CurrentVersion\\RunServices", "KestrelBeacon"),
              "C:\\Acme\\BEACONSV.EXE");
    EXPECT_TRUE(context().run.restartComputer);
    EXPECT_FALSE(hasKey(kServices + "KestrelBeacon"));
    EXPECT_TRUE(accountLines_.empty());
    ASSERT_TRUE(services.removeService(file("KestrelBeacon")));
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
}

TEST_F(ServiceOperationsTest, CommandsInstallStartStopAndDelete) {
    ServiceOperations& services = operations();
    EXPECT_TRUE(services.run(SystemCommand::AddService, "Plain, C:\\Program Files\\Plain.exe"));
    // Blanks in the program's path are quoted, so the service manager knows where it ends.
    EXPECT_EQ(hklm(kServices + "Plain", "ImagePath"), "\"C:\\Program Files\\Plain.exe\"");

    // A start the controller refuses because the service already runs is no failure.
    wine_.answers["sc start Plain"] = {WineOutcome{1, ""}};
    wine_.answers["sc query Plain"] = {FakeWine::state(4)};
    EXPECT_TRUE(services.run(SystemCommand::StartService, "Plain"));
    runningUntilStopped("Plain");
    EXPECT_TRUE(services.run(SystemCommand::StopService, "Plain"));

    wine_.answers["sc query Missing"] = {WineOutcome{1, ""}};
    const auto stopped = services.run(SystemCommand::StopService, "Missing");
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error(), 1060u);
    wine_.answers["sc start Missing"] = {WineOutcome{1, ""}};
    EXPECT_FALSE(services.run(SystemCommand::StartService, "Missing"));

    wine_.answers["sc query Plain"] = {FakeWine::state(1)};
    EXPECT_TRUE(services.run(SystemCommand::DeleteService, "Plain"));
    EXPECT_FALSE(hasKey(kServices + "Plain"));
    EXPECT_TRUE(services.run(SystemCommand::DeleteService, "Missing"));  // nothing to delete
    EXPECT_TRUE(ui_.shown.empty());

    const auto noProgram = services.run(SystemCommand::AddService, "OnlyName");
    ASSERT_FALSE(noProgram);
    EXPECT_EQ(noProgram.error(), 87u);
}

// Each program run through Wine is a session of the prefix of its own, whose service
// manager starts the automatic services again: the service that said it stops and then
// runs is that new start, no service that refuses to stop.
TEST_F(ServiceOperationsTest, AnAutomaticServiceStartedAgainByWineCountsAsStopped) {
    ServiceOperations& services = operations();
    ASSERT_TRUE(services.installService(file("KestrelBeacon")));
    wine_.answers["sc query KestrelBeacon"] = {FakeWine::state(4)};
    wine_.answers["sc stop KestrelBeacon"] = {FakeWine::state(3)};
    ASSERT_TRUE(services.removeService(file("KestrelBeacon")));
    EXPECT_FALSE(hasKey(kServices + "KestrelBeacon"));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ServiceOperationsTest, DeleteServiceTellsItsFailureAndGoesOn) {
    ServiceOperations& services = operations();
    ASSERT_TRUE(services.run(SystemCommand::AddService, "Plain,C:\\Acme\\plain.exe"));
    // A service that keeps running.
    wine_.answers["sc query Plain"] = {FakeWine::state(4)};
    ui_.answer({buttons::kCancel});
    EXPECT_TRUE(services.run(SystemCommand::DeleteService, "Plain"));
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kServiceFailed});
    EXPECT_TRUE(hasKey(kServices + "Plain"));
}

TEST_F(ServiceOperationsTest, EventSourcesJoinAndLeaveTheirLogsList) {
    ServiceOperations& services = operations();
    ASSERT_EQ(context().registry.createKey(platform::RegistryRoot::LocalMachine, kApplicationLog),
              0);
    ASSERT_EQ(
        context().registry.setValue(platform::RegistryRoot::LocalMachine, kApplicationLog,
                                    "Sources", platform::kRegMultiSz, std::string("Other\0\0", 7)),
        0);
    const MachineSnapshot before = MachineSnapshot::take(*machine_);
    ASSERT_TRUE(services.run(SystemCommand::AddEventSource, "BeaconEvents"));
    ASSERT_TRUE(services.run(SystemCommand::AddEventSource, "BeaconEvents"));
    EXPECT_EQ(hklm(kApplicationLog, "Sources"), "Other\tBeaconEvents");
    ASSERT_TRUE(services.run(SystemCommand::RemoveEventSource, "BeaconEvents"));
    EXPECT_EQ(hklm(kApplicationLog, "Sources"), "Other");
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
}

// The system made its own logs, empty as they may be, and keeps their lists of sources (Wine's
// System log has an empty one): the last source leaving takes along neither, and a list that
// was not there goes with it.
TEST_F(ServiceOperationsTest, TheSystemsOwnLogStaysWhenItsLastSourceLeaves) {
    ServiceOperations& services = operations();
    ASSERT_EQ(context().registry.createKey(platform::RegistryRoot::LocalMachine, kApplicationLog),
              0);
    for (const bool listed : {false, true}) {
        if (listed) {
            ASSERT_EQ(
                context().registry.setValue(platform::RegistryRoot::LocalMachine, kApplicationLog,
                                            "Sources", platform::kRegMultiSz, std::string(1, '\0')),
                0);
        }
        const MachineSnapshot before = MachineSnapshot::take(*machine_);
        ASSERT_TRUE(services.run(SystemCommand::AddEventSource, "BeaconEvents"));
        EXPECT_EQ(hklm(kApplicationLog, "Sources"), "BeaconEvents");
        ASSERT_TRUE(services.run(SystemCommand::RemoveEventSource, "BeaconEvents"));
        EXPECT_TRUE(
            context().registry.keyExists(platform::RegistryRoot::LocalMachine, kApplicationLog));
        EXPECT_EQ(hklm(kApplicationLog, "Sources"), listed ? "" : "<none>");
        EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "") << listed;
    }
}

// A log of its own comes and goes with the source that brought it.
TEST_F(ServiceOperationsTest, ALogOfItsOwnGoesWithItsSource) {
    start(std::string(kScript) + "Watch=Beacon Log,,,\n");
    ServiceOperations services(
        *services_, [](std::string_view, Direction) { return true; }, wine_);
    const MachineSnapshot before = MachineSnapshot::take(*machine_);
    ASSERT_TRUE(services.run(SystemCommand::AddEventSource, "Watch"));
    EXPECT_EQ(hklm(kServices + "EventLog\\Beacon Log", "Sources"), "Watch");
    ASSERT_TRUE(services.run(SystemCommand::RemoveEventSource, "Watch"));
    EXPECT_FALSE(hasKey(kServices + "EventLog\\Beacon Log"));
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
}

// StartServicesOnReboot leaves an automatic service to the next start of the system.
TEST_F(ServiceOperationsTest, StartServicesOnRebootStartsNothingNow) {
    std::string script = kScript;
    script.insert(script.find("[Services]"), "StartServicesOnReboot=1\n");
    start(script);
    ServiceOperations services(
        *services_, [](std::string_view, Direction) { return true; }, wine_);
    ASSERT_TRUE(services.installService(file("KestrelBeacon")));
    EXPECT_EQ(hklm(kServices + "KestrelBeacon", "Start"), "2");
    EXPECT_TRUE(wine_.calls.empty());
    EXPECT_TRUE(context().run.restartComputer);
}

// The account's password may hold quotes (and a scrambled one holds any character): the
// security command gets it as one quoted text.
TEST_F(ServiceOperationsTest, APasswordWithAQuoteIsQuotedForTheAccountCommand) {
    std::string script = kScript;
    const std::string password = ",svcuser,secret,";
    script.replace(script.find(password), password.size(), ",svcuser,'it''s',");
    start(script);
    ServiceOperations services(
        *services_,
        [this](std::string_view line, Direction) {
            accountLines_.emplace_back(line);
            return true;
        },
        wine_);
    ASSERT_TRUE(services.installService(file("KestrelBeacon")));
    ASSERT_FALSE(accountLines_.empty());
    EXPECT_EQ(accountLines_[0], "LocalUser.Add ('svcuser', 'it''s', '', PRIV_USER)");
}

}  // namespace
}  // namespace kestrel::setup::test
