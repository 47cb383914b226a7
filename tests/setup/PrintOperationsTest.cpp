#include "ExpectedMatchers.h"
#include "MachineSnapshot.h"
#include "SystemStoreFixture.h"
#include "messages/MessageStrings.h"
#include "system/PrintOperations.h"

namespace kestrel::setup::test {
namespace {

using commands::SystemCommand;
using platform::RegistryRoot;

constexpr const char* kScript = "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n";
constexpr const char* kPrint = "System\\CurrentControlSet\\Control\\Print";
constexpr const char* kDriverKey =
    "System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\"
    "Version-3\\Acme Laser";
constexpr const char* kPrinterKey = "System\\CurrentControlSet\\Control\\Print\\Printers\\Acme";
constexpr const char* kUserWindows = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kUserDevices = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices";
constexpr const char* kPorts = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
constexpr const char* kDriverDir = "C:\\windows\\system32\\spool\\drivers\\w32x86";
constexpr const char* kAddDriver =
    "(,, Acme Laser, 3, acmelsr.dll, acmelsr.ppd, acmeui.dll, acme.hlp, acmeres.dll; acme.ini, , "
    "RAW)";

class PrintOperationsTest : public SystemStoreFixture {
  protected:
    explicit PrintOperationsTest(
        platform::WindowsArchitecture architecture = platform::WindowsArchitecture::Win32)
        : SystemStoreFixture(architecture) {}
    void SetUp() override {
        loadScript(kScript);
        for (const char* file : {"acmelsr.dll", "acmelsr.ppd", "acmeui.dll", "acme.hlp",
                                 "acmeres.dll", "acme.ini", "acmemon.dll"}) {
            put(std::string(kDriverDir) + "\\" + file, std::string("bytes of ") + file);
        }
    }
    platform::Expected<void, std::uint32_t> run(SystemCommand command, std::string_view argument) {
        return PrintOperations(services()).run(command, argument);
    }
    std::uint32_t error(SystemCommand command, std::string_view argument) {
        const auto done = run(command, argument);
        return done ? 0 : done.error();
    }
    bool addDriver() { return bool(run(SystemCommand::AddPrinterDriver, kAddDriver)); }
};

TEST_F(PrintOperationsTest, ADriverAndADefaultPrinterComeAndGo) {
    // The AddPrinter line is undone by DeletePrinter with the same argument text.
    const char* printer = ",Acme,LPT1:,Acme Laser,,,DEFAULT|QUEUED,AcmeShare,Stock room";
    const auto both = [&](Direction direction) {
        if (direction == Direction::Install)
            return addDriver() && bool(run(SystemCommand::AddPrinter, printer));
        return bool(run(SystemCommand::DeletePrinter, printer)) &&
               bool(run(SystemCommand::DeletePrinterDriver, ",,Acme Laser"));
    };
    const auto installed = [&] {
        EXPECT_EQ(machineValue(kDriverKey, "Driver"), "acmelsr.dll");
        EXPECT_EQ(machineValue(kDriverKey, "Configuration File"), "acmeui.dll");
        EXPECT_EQ(machineValue(kDriverKey, "Dependent Files"), "acmeres.dll\tacme.ini");
        EXPECT_EQ(machineValue(kDriverKey, "Version"), "3");
        // The parenthesis that closes the argument text is no part of the last field.
        EXPECT_EQ(machineValue(kDriverKey, "Datatype"), "RAW");
        EXPECT_EQ(read(std::string(kDriverDir) + "\\3\\acmeui.dll"), "bytes of acmeui.dll");
        EXPECT_EQ(read(std::string(kDriverDir) + "\\3\\acme.ini"), "bytes of acme.ini");
        EXPECT_EQ(machineValue(kPrinterKey, "Printer Driver"), "Acme Laser");
        EXPECT_EQ(machineValue(kPrinterKey, "Print Processor"), "WinPrint");
        EXPECT_EQ(machineValue(kPrinterKey, "Datatype"), "RAW");
        EXPECT_EQ(machineValue(kPrinterKey, "Attributes"), "5");
        EXPECT_EQ(machineValue(kPrinterKey, "Share Name"), "AcmeShare");
        EXPECT_EQ(machineValue(kPrinterKey, "Description"), "Stock room");
        EXPECT_EQ(userValue(kUserDevices, "Acme"), "winspool,LPT1:");
        EXPECT_EQ(userValue(kUserWindows, "Device"), "Acme,winspool,LPT1:");
    };
    EXPECT_TRUE(roundTrip(both, installed));
}

TEST_F(PrintOperationsTest, WhatIsThereAlreadyCountsAsDone) {
    ASSERT_TRUE(addDriver());
    EXPECT_TRUE(addDriver());  // 1795
    ASSERT_TRUE(run(SystemCommand::AddPrinter, ",Acme,LPT1:,Acme Laser"));
    EXPECT_TRUE(run(SystemCommand::AddPrinter, ",Acme,LPT2:,Acme Laser"));  // 1802
    EXPECT_EQ(machineValue(kPrinterKey, "Port"), "LPT1:");
    // A driver a printer uses stays, and saying so is no failure (3001).
    EXPECT_TRUE(run(SystemCommand::DeletePrinterDriver, ",,Acme Laser"));
    EXPECT_EQ(machineValue(kDriverKey, "Driver"), "acmelsr.dll");
    EXPECT_TRUE(run(SystemCommand::AddPrinterConnection, "not a share"));  // quietly
}

TEST_F(PrintOperationsTest, FailuresAreTheSpoolersCodesAndChangeNothing) {
    EXPECT_EQ(error(SystemCommand::AddPrinter, ",Acme,LPT1:,No Such Driver"), 1797u);
    EXPECT_EQ(error(SystemCommand::AddPrinter, "\\\\elsewhere,Acme,LPT1:,Acme Laser"), 1722u);
    EXPECT_EQ(error(SystemCommand::AddPrinterDriver, ",Windows 3.1,Acme Laser,3,a,b,c"), 1805u);
    EXPECT_EQ(error(SystemCommand::AddPrinterDriver, ",,Acme Laser,3,acmelsr.dll,missing.ppd,c"),
              2u);
    EXPECT_EQ(error(SystemCommand::DeletePrinter, ",Nobody"), 1801u);
    ASSERT_TRUE(addDriver());
    EXPECT_EQ(error(SystemCommand::AddPrinter, ",Acme,LPT1:,Acme Laser,NoSuchProc"), 1798u);
    EXPECT_FALSE(session_->registry().keyExists(RegistryRoot::LocalMachine, kPrinterKey));
    // The machine's own name is this computer.
    const std::string local = "\\\\" + machine_->computerName() + ",Acme,LPT1:,Acme Laser";
    EXPECT_TRUE(run(SystemCommand::AddPrinter, local));
}

// An attribute word the table lacks is the script's fault, said as such (5530 with the
// word); the printer is not added and the line does not fail as the spooler's would.
TEST_F(PrintOperationsTest, AnUnknownAttributeIsIncorrectFlags) {
    ASSERT_TRUE(addDriver());
    EXPECT_EQ(error(SystemCommand::AddPrinter, ",Acme,LPT1:,Acme Laser,,,DEFAULT|BOGUS"), 0u);
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kIncorrectFlags});
    EXPECT_EQ(ui_.shown[0].box.text, "Incorrect Flags: BOGUS!");
    EXPECT_FALSE(session_->registry().keyExists(RegistryRoot::LocalMachine, kPrinterKey));
}

// What the spooler keeps as its own once it is there stays when the last entry below it goes,
// and what a command made for its entry goes with it: the user's Printers key of a connection,
// an environment's Version-3 that another driver left empty.
TEST_F(PrintOperationsTest, TheSpoolersOwnKeysStayAndTheOnesMadeGo) {
    const auto connection = [&](Direction direction) {
        return bool(run(direction == Direction::Install ? SystemCommand::AddPrinterConnection
                                                        : SystemCommand::DeletePrinterConnection,
                        "\\\\srv\\laser"));
    };
    EXPECT_TRUE(roundTrip(connection, [&] {
        EXPECT_EQ(value(RegistryRoot::CurrentUser, "Printers\\Connections\\,,srv,laser", "Server"),
                  "\\\\srv");
    }));
    EXPECT_FALSE(session_->registry().keyExists(RegistryRoot::CurrentUser, "Printers"));

    const std::string version3 =
        std::string(kDriverKey).substr(0, std::string(kDriverKey).rfind('\\'));
    ASSERT_EQ(session_->registry().createKey(RegistryRoot::LocalMachine, version3), 0);
    const auto driver = [&](Direction direction) {
        return direction == Direction::Install
                   ? addDriver()
                   : bool(run(SystemCommand::DeletePrinterDriver, ",,Acme Laser"));
    };
    EXPECT_TRUE(roundTrip(driver));
    EXPECT_TRUE(session_->registry().isEmptyKey(RegistryRoot::LocalMachine, version3));
}

TEST_F(PrintOperationsTest, TheDefaultMovesOnWhenItsPrinterGoes) {
    ASSERT_TRUE(addDriver());
    ASSERT_TRUE(run(SystemCommand::AddPrinter, ",Acme,LPT1:,Acme Laser,,,DEFAULT"));
    ASSERT_TRUE(run(SystemCommand::AddPrinter, ",Other,FILE:,Acme Laser"));
    EXPECT_EQ(userValue(kUserWindows, "Device"), "Acme,winspool,LPT1:");
    ASSERT_TRUE(run(SystemCommand::DeletePrinter, ",Acme"));
    EXPECT_EQ(userValue(kUserWindows, "Device"), "Other,winspool,FILE:");
    ASSERT_TRUE(run(SystemCommand::AddPrinterConnection, "\\\\srv\\laser"));
    EXPECT_EQ(value(RegistryRoot::CurrentUser, "Printers\\Connections\\,,srv,laser", "Server"),
              "\\\\srv");
    ASSERT_TRUE(run(SystemCommand::DeleteAllPrinters, ""));
    EXPECT_FALSE(session_->registry().keyExists(RegistryRoot::LocalMachine,
                                                std::string(kPrint) + "\\Printers"));
    EXPECT_FALSE(
        session_->registry().keyExists(RegistryRoot::CurrentUser, "Printers\\Connections"));
    EXPECT_EQ(userValue(kUserWindows, "Device"), "<none>");
}

TEST_F(PrintOperationsTest, NineXRootsKeepTheDefaultInWinIni) {
    makeWindows98();
    put("C:\\windows\\win.ini", "[windows]\r\nload=\r\n");
    loadScript(kScript);
    // 95/98 keep drivers in the system folder itself.
    for (const char* file : {"acmelsr.dll", "acmelsr.ppd", "acmeui.dll"}) {
        put(machine_->systemDirectory() + "\\" + file, "x");
    }
    ASSERT_TRUE(
        run(SystemCommand::AddPrinterDriver, ",,Acme Laser,0,acmelsr.dll,acmelsr.ppd,acmeui.dll"));
    EXPECT_EQ(machineValue(std::string(kPrint) + "\\Environments\\Windows 4.0\\Drivers\\Acme Laser",
                           "Driver"),
              "acmelsr.dll");
    ASSERT_TRUE(run(SystemCommand::AddPrinter, ",Acme,LPT1:,Acme Laser,,,DEFAULT"));
    EXPECT_EQ(read("C:\\windows\\win.ini"),
              "[windows]\r\nload=\r\ndevice=Acme,winspool,LPT1:\r\n\r\n[devices]\r\n"
              "Acme=winspool,LPT1:\r\n\r\n[PrinterPorts]\r\nAcme=winspool,LPT1:,15,45\r\n");
    ASSERT_TRUE(run(SystemCommand::DeletePrinter, ",Acme"));
    EXPECT_EQ(read("C:\\windows\\win.ini"), "[windows]\r\nload=\r\n");
}

TEST_F(PrintOperationsTest, NineXRootsKeepLocalPortsInWinIni) {
    makeWindows98();
    put("C:\\windows\\win.ini", "[Ports]\r\nLPT1:=\r\n");
    loadScript(kScript);
    ui_.answerText("C:\\Out\\acme.prn");
    ASSERT_TRUE(run(SystemCommand::AddPort, ",Local Port"));
    EXPECT_EQ(read("C:\\windows\\win.ini"), "[Ports]\r\nLPT1:=\r\nC:\\Out\\acme.prn=\r\n");
    EXPECT_EQ(machineValue(kPorts, "C:\\Out\\acme.prn"), "<none>");
    // The list is looked up as the spooler does, without regard to case.
    ui_.answerText("lpt1:");
    EXPECT_TRUE(run(SystemCommand::AddPort, ",Local Port"));
    ASSERT_TRUE(run(SystemCommand::DeletePort, ",C:\\Out\\acme.prn"));
    ASSERT_TRUE(run(SystemCommand::DeletePort, ",LPT1:"));
    EXPECT_EQ(read("C:\\windows\\win.ini"), "");
    EXPECT_EQ(error(SystemCommand::DeletePort, ",LPT1:"), 1796u);
}

TEST_F(PrintOperationsTest, MonitorsProcessorsAndProvidersComeAndGo) {
    put("C:\\windows\\system32\\spool\\prtprocs\\w32x86\\acmeproc.dll", "proc");
    put("C:\\windows\\system32\\acmeprov.dll", "provider");
    const auto all = [&](Direction direction) {
        if (direction == Direction::Install) {
            return run(SystemCommand::AddMonitor, ",,Acme Port,acmemon.dll") &&
                   run(SystemCommand::AddPrintProcessor, ",,AcmeProc,acmeproc.dll") &&
                   run(SystemCommand::AddPrintProvider, ",,Acme Net,acmeprov.dll");
        }
        return run(SystemCommand::DeletePrintProvider, ",,Acme Net") &&
               run(SystemCommand::DeletePrintProcessor, ",,AcmeProc") &&
               run(SystemCommand::DeleteMonitor, ",,Acme Port");
    };
    const auto installed = [&] {
        EXPECT_EQ(machineValue(std::string(kPrint) + "\\Monitors\\Acme Port", "Driver"),
                  "acmemon.dll");
        // Taken from the printer driver directory to where the spooler loads monitors.
        EXPECT_EQ(read("C:\\windows\\system32\\acmemon.dll"), "bytes of acmemon.dll");
        EXPECT_EQ(machineValue(std::string(kPrint) +
                                   "\\Environments\\Windows NT x86\\Print Processors\\AcmeProc",
                               "Driver"),
                  "acmeproc.dll");
        EXPECT_EQ(machineValue(std::string(kPrint) + "\\Providers", "Order"), "Acme Net");
        EXPECT_EQ(machineValue(std::string(kPrint) + "\\Providers\\Acme Net", "Name"),
                  "acmeprov.dll");
        // Added twice is still done.
        EXPECT_TRUE(run(SystemCommand::AddMonitor, ",,Acme Port,acmemon.dll"));
        EXPECT_TRUE(run(SystemCommand::AddPrintProcessor, ",,AcmeProc,acmeproc.dll"));
        EXPECT_TRUE(run(SystemCommand::AddPrintProvider, ",,Acme Net,acmeprov.dll"));
    };
    EXPECT_TRUE(roundTrip(all, installed));
    EXPECT_EQ(error(SystemCommand::AddPort, ",Acme Port"), 3000u);
    EXPECT_EQ(error(SystemCommand::AddMonitor, ",,Lost,nowhere.dll"), 126u);
    EXPECT_TRUE(ui_.textRequests.empty());  // an unknown monitor has no dialog to show
}

TEST_F(PrintOperationsTest, APortIsNamedInItsMonitorsDialog) {
    const auto ports = [&](Direction direction) {
        if (direction == Direction::Install) {
            ui_.answerText("  C:\\Out\\acme.prn ");
            ui_.answerText("ACME_1");
            return run(SystemCommand::AddMonitor, ",,Acme Port,acmemon.dll") &&
                   run(SystemCommand::AddPort, ",Local Port") &&
                   run(SystemCommand::AddPort, "(, Acme Port)");
        }
        return run(SystemCommand::DeletePort, ",C:\\Out\\acme.prn") &&
               run(SystemCommand::DeletePort, ",ACME_1") &&
               run(SystemCommand::DeleteMonitor, ",,Acme Port");
    };
    const auto installed = [&] {
        // The local monitor's ports are where Windows and Wine keep them, the others' below
        // their monitor.
        EXPECT_EQ(machineValue(kPorts, "C:\\Out\\acme.prn"), "");
        EXPECT_TRUE(session_->registry().keyExists(
            RegistryRoot::LocalMachine,
            std::string(kPrint) + "\\Monitors\\Acme Port\\Ports\\ACME_1"));
        // A name some monitor has already is there: no change, no failure (183).
        ui_.answerText("acme_1");
        EXPECT_TRUE(run(SystemCommand::AddPort, ",Local Port"));
        EXPECT_EQ(machineValue(kPorts, "acme_1"), "<none>");
    };
    EXPECT_TRUE(roundTrip(ports, installed));
    ASSERT_EQ(ui_.textRequests.size(), 3u);
    EXPECT_EQ(ui_.textRequests[0].title, "Local Port");
    EXPECT_EQ(ui_.textRequests[0].prompt, "Enter a port name:");
    EXPECT_EQ(ui_.textRequests[1].title, "Acme Port");
    EXPECT_EQ(error(SystemCommand::DeletePort, ",ACME_1"), 1796u);
}

TEST_F(PrintOperationsTest, ACancelledOrSilentPortDialogAddsNothing) {
    const MachineSnapshot before = MachineSnapshot::take(*machine_);
    EXPECT_EQ(error(SystemCommand::AddPort, ",Local Port"), 1223u);  // the person cancels
    ui_.answerText("   ");
    EXPECT_EQ(error(SystemCommand::AddPort, ",Local Port"), 87u);
    EXPECT_EQ(ui_.textRequests.size(), 2u);
    // A silent run shows no dialog: nobody could name the port.
    context().run.silent = true;
    ui_.answerText("LPT9:");
    EXPECT_EQ(error(SystemCommand::AddPort, ",Local Port"), 1223u);
    EXPECT_EQ(ui_.textRequests.size(), 2u);
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
}

// On a 64-bit root the spooler is a 64-bit service: its own environment is Windows x64, and
// its folders are below the native system folder, as Wine's spooler answers there.
class PrintOperations64Test : public PrintOperationsTest {
  protected:
    PrintOperations64Test() : PrintOperationsTest(platform::WindowsArchitecture::Win64) {}
};

TEST_F(PrintOperations64Test, SpoolFoldersAreThoseOfTheNativeSpooler) {
    ASSERT_TRUE(machine_->is64Bit());
    const std::string driverDir = "C:\\windows\\system32\\spool\\drivers\\x64";
    EXPECT_EQ(context().variables.value("PrinterDriverDir"), driverDir);
    EXPECT_EQ(context().variables.value("PrintProcessorDir"),
              "C:\\windows\\system32\\spool\\prtprocs\\x64");
    for (const char* file : {"acmelsr.dll", "acmelsr.ppd", "acmeui.dll", "acmemon.dll"})
        put(driverDir + "\\" + file, file);
    const std::string x64 = std::string(kPrint) + "\\Environments\\Windows x64";
    const auto all = [&](Direction direction) {
        if (direction == Direction::Install) {
            return run(SystemCommand::AddPrinterDriver,
                       ",,Acme Laser,3,acmelsr.dll,acmelsr.ppd,acmeui.dll") &&
                   run(SystemCommand::AddMonitor, ",,Acme Port,acmemon.dll") &&
                   run(SystemCommand::AddPrinter, ",Acme,LPT1:,Acme Laser");
        }
        return run(SystemCommand::DeletePrinter, ",Acme") &&
               run(SystemCommand::DeleteMonitor, ",,Acme Port") &&
               run(SystemCommand::DeletePrinterDriver, ",,Acme Laser");
    };
    const auto installed = [&] {
        EXPECT_EQ(machineValue(x64 + "\\Drivers\\Version-3\\Acme Laser", "Driver"), "acmelsr.dll");
        EXPECT_EQ(read(driverDir + "\\3\\acmeui.dll"), "acmeui.dll");
        // Monitors are loaded by the spooler from its own system folder, not syswow64.
        EXPECT_EQ(read("C:\\windows\\system32\\acmemon.dll"), "acmemon.dll");
        EXPECT_EQ(read("C:\\windows\\syswow64\\acmemon.dll"), "<none>");
        EXPECT_EQ(machineValue(std::string(kPrinterKey), "Printer Driver"), "Acme Laser");
    };
    EXPECT_TRUE(roundTrip(all, installed));
    // Another environment's folders are below the same spool folder.
    put("C:\\windows\\system32\\spool\\prtprocs\\w32x86\\acmeproc.dll", "proc");
    EXPECT_TRUE(run(SystemCommand::AddPrintProcessor, ",Windows NT x86,AcmeProc,acmeproc.dll"));
}

}  // namespace
}  // namespace kestrel::setup::test
