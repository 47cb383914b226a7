#include "SystemFileFixture.h"
#include "messages/MessageStrings.h"
#include "ops/StartupSections.h"
#include "platform/AsciiCase.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;
using platform::RegistryRoot;
using platform::RegistryValue;

constexpr const char* kHead = "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n";
constexpr const char* kConfigSys = "c:\\config.sys";
constexpr const char* kAutoexec = "C:\\AUTOEXEC.BAT";
constexpr const char* kMachineEnvironment =
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

class StartupFiles : public SystemFileFixture {
  protected:
    std::optional<PlanStep> config(const char* name = "Config.sys") {
        return readConfigSysSection(context(), name);
    }
    std::optional<PlanStep> batch(const char* name = "Autoexec.bat") {
        return readBatchSection(context(), name);
    }
    // Installs, checks, uninstalls and checks that the file has its bytes again.
    void installAndBack(std::optional<PlanStep> step, const char* file, const std::string& after) {
        const std::string before = read(file);
        ASSERT_TRUE(run(step, Direction::Install));
        EXPECT_EQ(read(file), after);
        ASSERT_TRUE(run(step, Direction::Uninstall));
        EXPECT_EQ(read(file), before);
    }
    RegistryValue raw(RegistryRoot root, std::string_view key, std::string_view name) {
        RegistryValue value;
        (void)session_->registry().readValue(root, key, name, &value);
        return value;
    }
};

TEST_F(StartupFiles, ConfigSysReplacesAddsAndMatchesDevicesByDriver) {
    makeWindows98();
    put(kConfigSys,
        "DEVICE=C:\\DOS\\HIMEM.SYS\r\nFILES=20\r\ndevicehigh c:\\old\\a.sys /x\r\nREM keep\r\n");
    load(std::string(kHead) +
         "[Config.sys]\nCaption=System files\nFILES=40\n+DEVICE=c:\\a.sys\n"
         "DEVICE = %App%\\b\\A.SYS\nDEVICE=C:\\z\\z.sys\n-Stacks\n");
    std::optional<PlanStep> step = config();
    ASSERT_TRUE(run(step, Direction::Install));
    EXPECT_EQ(read(kConfigSys),
              "DEVICE=C:\\DOS\\HIMEM.SYS\r\nFILES = 40\r\ndevicehigh = C:\\Acme\\b\\A.SYS\r\n"
              "REM keep\r\nDEVICE = c:\\a.sys\r\nDEVICE = C:\\z\\z.sys\r\n");
    EXPECT_TRUE(context().run.restartComputer);
    EXPECT_EQ(ui_.titles.front(), "System files");
    EXPECT_EQ(ui_.progress.back(), "C:\\setup\\Setup.inf | c:\\config.sys");
    // Every line but the '-' one takes its entry away, the lines it replaced with it.
    ASSERT_TRUE(run(step, Direction::Uninstall));
    EXPECT_EQ(read(kConfigSys), "DEVICE=C:\\DOS\\HIMEM.SYS\r\nREM keep\r\n");
}

TEST_F(StartupFiles, ConfigSysWithoutLineBreaksComesBackByteForByte) {
    makeWindows98();
    fs::create_directories(host("C:\\Program Files\\Acme Tools"));
    put(kConfigSys, std::string("FILES=20\0\xff", 10));
    load(std::string(kHead) +
         "[Config.sys]\nBUFFERS=30\nREM Acme\nSET TEMP=C:\\TEMP\n"
         "PATH C:\\Program Files\\Acme Tools\n");
    const std::string shortForm = machine_->shortPath("C:\\Program Files\\Acme Tools");
    EXPECT_EQ(shortForm, "C:\\PROGRA~1\\ACMETO~1");
    installAndBack(config(), kConfigSys,
                   std::string("FILES=20\0\xff\r\nBUFFERS = 30\r\nREM Acme\r\nSET TEMP=C:\\TEMP\r\n"
                               "PATH ",
                               59) +
                       shortForm);
}

TEST_F(StartupFiles, ConfigSysRefusesLinesWithoutEqualsSign) {
    put(kConfigSys, "FILES=20\r\n");
    load(std::string(kHead) + "[Config.sys]\nFILES=40\nBUFFERS\n+BREAK\n");
    std::optional<PlanStep> step = config();
    EXPECT_FALSE(run(step, Direction::Install));
    EXPECT_EQ(ui_.numbers(), (std::vector<int>{messages::kInvalidConfigSysLine}));
    EXPECT_EQ(ui_.shown.front().box.text,
              "The line\n'BUFFERS'\nis invalid!\nFor CONFIG.SYS only lines of the form "
              "<Parameter> = <Value> are allowed.");
    EXPECT_EQ(read(kConfigSys), "FILES=20\r\n");
    EXPECT_TRUE(run(step, Direction::Uninstall));
    EXPECT_EQ(read(kConfigSys), "FILES=20\r\n");
}

TEST_F(StartupFiles, ConfigSysTargets) {
    // NT: CONFIG.NT in the system folder, made when missing; no restart.
    load(std::string(kHead) + "[Config.sys]\nFILES=40\n");
    EXPECT_TRUE(roundTrip(config(), [&] {
        EXPECT_EQ(read("C:\\windows\\system32\\CONFIG.NT"), "FILES = 40\r\n");
        EXPECT_EQ(read(kConfigSys), "<none>");
    }));
    EXPECT_FALSE(context().run.restartComputer);

    // 95/98: the product's own CONFIG.SYS when it brings one.
    makeWindows98();
    put("C:\\Acme\\CONFIG.SYS", "");
    load(std::string(kHead) + "[Setup.Config.sys]\nFILES=40\n");
    std::optional<PlanStep> step = config("Setup.Config.sys");
    ASSERT_TRUE(run(step, Direction::Install));
    EXPECT_EQ(read("C:\\Acme\\CONFIG.SYS"), "FILES = 40\r\n");
    EXPECT_EQ(read(kConfigSys), "<none>");

    // Not in an administrator installation.
    load(std::string(kHead) + "[Config.sys]\nFILES=40\n");
    context().run.admin = true;
    fs::remove(host("C:\\Acme\\CONFIG.SYS"));
    step = config();
    ASSERT_TRUE(run(step, Direction::Install));
    EXPECT_EQ(read(kConfigSys), "<none>");
}

TEST_F(StartupFiles, ConfigSysThatCannotBeReadOrWritten) {
    makeWindows98();
    load(std::string(kHead) + "[Config.sys]\nFILES=40\n");
    fs::create_directories(host(kConfigSys) / "inside");
    std::optional<PlanStep> step = config();
    EXPECT_FALSE(run(step, Direction::Install));
    fs::remove_all(host(kConfigSys));
    fs::create_symlink("config.sys", host(kConfigSys));  // a link to itself
    EXPECT_FALSE(run(step, Direction::Install));
    EXPECT_EQ(ui_.numbers(),
              (std::vector<int>{messages::kCannotCreateFile, messages::kCannotReadFile}));
    EXPECT_EQ(ui_.shown.front().box.text, "Cannot create file 'c:\\config.sys'!");
    EXPECT_TRUE(fs::is_symlink(host(kConfigSys)));
    // Uninstallation finds nothing of its own there and says nothing.
    EXPECT_TRUE(run(step, Direction::Uninstall));
    EXPECT_EQ(ui_.shown.size(), 2u);
}

TEST_F(StartupFiles, BatchFileRoundTripOn98) {
    makeWindows98();
    put(kAutoexec, "@ECHO OFF\r\nPATH=C:\\DOS;C:\\WINDOWS\r\nSET BLASTER=A220\r\n");
    load(std::string(kHead) +
         "[Autoexec.bat]\nPATH %App%;c:\\dos\\\nSET ACME=C:\\Acme\\data\nSET blaster = I5;A220\n"
         "C:\\ACME\\START.EXE /q\n@echo off\n");
    fs::create_directories(host("C:\\Acme"));
    std::optional<PlanStep> step = batch();
    ASSERT_TRUE(run(step, Direction::Install));
    ASSERT_TRUE(run(step, Direction::Install));  // repeated: nothing twice
    EXPECT_EQ(read(kAutoexec),
              "@ECHO OFF\r\nPATH=C:\\DOS;C:\\WINDOWS;C:\\Acme\r\nSET BLASTER=A220;I5\r\n"
              "SET ACME=C:\\Acme\\data\r\nC:\\ACME\\START.EXE /q\r\n@echo off\r\n");
    EXPECT_TRUE(context().run.restartComputer);
    ASSERT_TRUE(run(step, Direction::Uninstall));
    // A220 and C:\DOS were there before and are named by the section: they go too.
    EXPECT_EQ(read(kAutoexec), "@ECHO OFF\r\nPATH=C:\\WINDOWS\r\n");
}

TEST_F(StartupFiles, BatchFileOfTheProductAndDeletionLines) {
    load(std::string(kHead) +
         "[Acme.bat]\nPath=%App%\\bin\nPATH %App%\nSET X=1\nrem made by setup\n-SET OLD=gone\n"
         "-stale line\n");
    put("C:\\Acme\\bin\\Acme.bat", "stale line\r\nSET OLD=kept;gone\r\n");
    std::optional<PlanStep> step = batch("Acme.bat");
    ASSERT_TRUE(run(step, Direction::Install));
    // NT: the product's own file gets the long form; no restart.
    EXPECT_EQ(read("C:\\Acme\\bin\\Acme.bat"),
              "SET OLD=kept\r\nPATH C:\\Acme\r\nSET X=1\r\nrem made by setup\r\n");
    EXPECT_FALSE(context().run.restartComputer);
    ASSERT_TRUE(run(step, Direction::Uninstall));
    EXPECT_EQ(read("C:\\Acme\\bin\\Acme.bat"), "SET OLD=kept\r\n");

    // A batch file that is not there is made by the installation and goes with the last line.
    load(std::string(kHead) + "[New.bat]\nPath=C:\\Acme\\bin\nSET X=1\n");
    EXPECT_TRUE(roundTrip(batch("New.bat"),
                          [&] { EXPECT_EQ(read("C:\\Acme\\bin\\New.bat"), "SET X=1\r\n"); }));
}

TEST_F(StartupFiles, OnNtTheStartupFileBecomesTheRegistrysEnvironment) {
    ASSERT_EQ(registry().createKey(RegistryRoot::LocalMachine, kMachineEnvironment), 0);
    ASSERT_EQ(registry().setValue(RegistryRoot::LocalMachine, kMachineEnvironment, "Path",
                                  RegistryValue::text(platform::kRegExpandSz,
                                                      "%SystemRoot%\\system32;%SystemRoot%")),
              0);
    load(std::string(kHead) +
         "[Autoexec.bat]\nPATH %App%;%App%\\bin\nSET ACME=one;two\nECHO ignored\n-SET GONE=x\n");
    const auto installed = [&] {
        EXPECT_EQ(
            raw(RegistryRoot::LocalMachine, kMachineEnvironment, "PATH"),
            RegistryValue::text(platform::kRegExpandSz,
                                "%SystemRoot%\\system32;%SystemRoot%;C:\\Acme;C:\\Acme\\bin"));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, kMachineEnvironment, "ACME"),
                  RegistryValue::text(platform::kRegSz, "one;two"));
        EXPECT_EQ(read(kAutoexec), "<none>");
        EXPECT_EQ(read("C:\\windows\\system32\\AUTOEXEC.NT"), "<none>");
    };
    EXPECT_TRUE(roundTrip(batch(), installed));
    EXPECT_FALSE(context().run.restartComputer);

    // The per-user part: the user's environment.
    context().run.perUserPart = true;
    EXPECT_TRUE(roundTrip(batch(), [&] {
        EXPECT_EQ(raw(RegistryRoot::CurrentUser, "Environment", "ACME"),
                  RegistryValue::text(platform::kRegSz, "one;two"));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, kMachineEnvironment, "ACME").type,
                  platform::kRegNone);
    }));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(StartupFiles, CancelBetweenLinesKeepsWhatWasDone) {
    put("C:\\Acme\\Acme.bat", "");
    load(std::string(kHead) + "[Acme.bat]\nPath=C:\\Acme\nSET A=1\nSET B=2\nSET C=3\n");
    ui_.cancelAfterPolls = 2;  // the runner's poll, then one between the lines
    std::optional<PlanStep> step = batch("Acme.bat");
    EXPECT_FALSE(run(step, Direction::Install));
    EXPECT_TRUE(context().run.abort);
    EXPECT_EQ(read("C:\\Acme\\Acme.bat"), "SET A=1\r\nSET B=2\r\n");
}

}  // namespace
}  // namespace kestrel::setup::test
