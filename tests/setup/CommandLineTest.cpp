#include <sys/wait.h>

#include <algorithm>
#include <cstdio>

#include "SetupFixture.h"
#include "messages/MessageStrings.h"
#include "platform/WineDrives.h"
#include "script/ScriptLocation.h"
#include "script/SetupCommandLine.h"

namespace kestrel::setup::test {
namespace {

RunState parse(const std::string& commandLine) {
    RunState run;
    parseSetupCommandLine(splitSetupWords(commandLine), run,
                          [](std::string_view text) { return std::string(text) + "<x>"; });
    return run;
}

TEST(SetupCommandLine, SwitchesAndTheScriptWord) {
    const RunState silent = parse("setup.exe /s /p:d:\\src\\ my.inf");
    EXPECT_TRUE(silent.silent);
    EXPECT_EQ(silent.silentLevel, 0);
    EXPECT_EQ(silent.sourceDirectory, "d:\\src\\<x>\\");
    EXPECT_EQ(silent.scriptWord, "my.inf");

    const RunState s3 =
        parse("/S3 -aS /Aw /O+Base /o-Docs+Tools /x4 -X0A /W1234 /t1 /q /U /M /N /R /L /C /D");
    EXPECT_FALSE(s3.silent);
    EXPECT_EQ(s3.silentLevel, 3);
    EXPECT_TRUE(s3.admin);
    EXPECT_TRUE(s3.adminServerOnly);
    EXPECT_TRUE(s3.workstation);
    EXPECT_EQ(s3.options, "+Base-Docs+Tools");
    EXPECT_EQ(s3.extraFlags, 0xEu);
    EXPECT_EQ(s3.notifyWindow, 1234);
    EXPECT_TRUE(s3.commandList);
    EXPECT_EQ(s3.commandListLevel, 1);
    EXPECT_TRUE(s3.uninstall && s3.maintenance && s3.newInstance && s3.repeat && s3.localOnly &&
                s3.client && s3.fromCD);
    EXPECT_FALSE(s3.usage);

    EXPECT_TRUE(parse("/?").usage);
    EXPECT_EQ(parse("\"C:\\My Files\\a.inf\" second.inf").scriptWord, "second.inf");
    EXPECT_EQ(splitSetupWords("a \"b c\"d  \"\" e"),
              (std::vector<std::string>{"a", "b cd", "", "e"}));
    EXPECT_EQ(parse("/P").sourceDirectory, "<x>\\");
    RunState empty;
    parseSetupCommandLine({"", "/", "-"}, empty, {});
    EXPECT_EQ(empty.scriptWord, "");

    // A host path is a script, not a switch, when it exists.
    RunState host;
    parseSetupCommandLine({"/tmp/x/Setup.inf", "/T"}, host, {},
                          [](const std::string& w) { return w[1] == 't'; });
    EXPECT_EQ(host.scriptWord, "/tmp/x/Setup.inf");
    EXPECT_TRUE(host.commandList);
}

class ScriptLocationTest : public SetupFixture {};

TEST_F(ScriptLocationTest, CurrentDirectoryThenProgramDirectory) {
    load("", false);
    const auto here = dir_ / "here";
    const auto program = dir_ / "program";
    std::filesystem::create_directories(here);
    std::filesystem::create_directories(program);
    kestrel::test::writeFile(program / "MY.INF", "x");
    kestrel::test::writeFile(program / "setup.INF", "x");
    const Expander expander = session_->expander();
    EXPECT_EQ(locateScript("my.inf", machine_->paths(), here, program, expander).host.filename(),
              "MY.INF");
    EXPECT_EQ(locateScript("", machine_->paths(), here, program, expander).host.filename(),
              "setup.INF");
    kestrel::test::writeFile(here / "My.Inf", "x");
    const ScriptLocation found = locateScript("my.inf", machine_->paths(), here, program, expander);
    EXPECT_EQ(found.host.filename(), "My.Inf");
    EXPECT_EQ(found.windows, machine_->windowsPath(here / "My.Inf"));
    EXPECT_EQ(found.windows.substr(0, 3), "Z:\\");
    const ScriptLocation missing =
        locateScript("none.inf", machine_->paths(), here, program, expander);
    EXPECT_EQ(missing.host, here / "none.inf");

    std::filesystem::create_directories(dir_ / "prefix/drive_c/Install");
    kestrel::test::writeFile(dir_ / "prefix/drive_c/Install/Setup.inf", "x");
    const ScriptLocation windows =
        locateScript("c:\\install\\SETUP.INF", machine_->paths(), here, program, expander);
    EXPECT_EQ(windows.windows, "C:\\Install\\Setup.inf");
    EXPECT_EQ(locateScript("Q:\\x.inf", machine_->paths(), here, program, expander).windows,
              "Q:\\x.inf");
    EXPECT_EQ(windowsDirectoryOf("C:\\Install\\Setup.inf"), "C:\\Install\\");
}

// Host file names are UTF-8; the script's names and SetupInf are Windows-1252 bytes.
TEST_F(ScriptLocationTest, InstallerTextMeetsUtf8FileNames) {
    load("", false);
    const auto folder = dir_ / "prefix/drive_c/Gr\u00f6\u00dfe";
    std::filesystem::create_directories(folder);
    kestrel::test::writeFile(folder / "Setup.inf", "[Setup]\n");
    const Expander expander = session_->expander();
    const std::string windows =
        "C:\\Gr\xf6\xdf"
        "e\\Setup.inf";
    const ScriptLocation found = locateScript(
        "c:\\gr\xf6\xdf"
        "e\\setup.inf",
        machine_->paths(), dir_.path(), {}, expander);
    EXPECT_EQ(found.host, dir_ / "prefix/dosdevices/c:/Gr\u00f6\u00dfe/Setup.inf");
    EXPECT_EQ(found.windows, windows);

    // A command line (UTF-8) naming the host file.
    session_->parseCommandLine({(folder / "Setup.inf").string()});
    ASSERT_TRUE(session_->loadScript(dir_.path()));
    EXPECT_EQ(session_->variables().value("SetupInf"), windows);
    EXPECT_EQ(session_->scriptFile(), folder / "Setup.inf");
    std::string onZ = "Z:" + (folder / "Setup.inf").string();
    std::replace(onZ.begin(), onZ.end(), '/', '\\');
    session_->parseCommandLine({onZ});
    ASSERT_TRUE(session_->loadScript(dir_.path()));
    EXPECT_EQ(session_->variables().value("SetupInf"), windows);
}

// What the script search can do through the drives of a prefix not made yet, and what only
// the root can tell.
TEST(ScriptSearchWithoutRoot, DefaultDrivesOrTheRoot) {
    EXPECT_FALSE(scriptSearchNeedsRoot(""));
    EXPECT_FALSE(scriptSearchNeedsRoot("sub\\x.inf"));
    EXPECT_FALSE(scriptSearchNeedsRoot("c:\\x.inf"));
    EXPECT_FALSE(scriptSearchNeedsRoot("Z:\\tmp\\x.inf"));
    EXPECT_FALSE(scriptSearchNeedsRoot("/tmp/x.inf"));
    EXPECT_TRUE(scriptSearchNeedsRoot("%Src%x.inf"));
    EXPECT_TRUE(scriptSearchNeedsRoot("D:\\x.inf"));
    EXPECT_TRUE(scriptSearchNeedsRoot("\\\\server\\share\\x.inf"));

    kestrel::test::TempDir dir;
    const auto here = dir / "Gr\u00f6\u00dfe";
    std::filesystem::create_directories(here);
    kestrel::test::writeFile(here / "SETUP.INF", "x");
    const platform::WindowsPathMap paths(dir / "prefix", platform::CodePage::windows1252());
    const Expander none({});
    const ScriptLocation found = locateScript("", paths, here, {}, none);
    EXPECT_EQ(found.host, here / "SETUP.INF");
    EXPECT_EQ(found.windows, platform::CodePage::windows1252().fromUtf8(
                                 platform::windowsPathOf(here / "SETUP.INF", dir / "prefix")));
    const ScriptLocation onC = locateScript("c:\\setup\\x.inf", paths, here, {}, none);
    EXPECT_EQ(onC.host, dir / "prefix/drive_c/setup/x.inf");
    EXPECT_EQ(onC.windows, "C:\\setup\\x.inf");
    EXPECT_FALSE(std::filesystem::exists(dir / "prefix"));
}

// A session on a prefix that does not exist makes it only when a step needs the root.
class LazyRootSession : public ::testing::Test {
  protected:
    SetupSession& start(const std::vector<std::string>& words) {
        session_ = std::make_unique<SetupSession>(ui_, root_, environment_, dir_ / "program");
        EXPECT_TRUE(session_->parseCommandLine(words));
        return *session_;
    }

    kestrel::test::TempDir dir_;
    LazyMachineRoot root_{dir_ / "prefix", {"alice", dir_ / "servers"}};
    MemoryEnvironment environment_;
    ScriptedUi ui_;
    std::unique_ptr<SetupSession> session_;
};

TEST_F(LazyRootSession, AScriptThatCannotBeLoadedLeavesNoPrefix) {
    kestrel::test::writeFile(dir_ / "Setup.inf", "[Setup]\nVersion=5.11\n");
    EXPECT_FALSE(start({"absent.inf"}).loadScript(dir_.path()));
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ui_.shown[0].box.text,
              "Cannot open file '" + platform::windowsPathOf(dir_ / "absent.inf", dir_ / "prefix") +
                  "'!");
    EXPECT_FALSE(start({"c:\\nowhere\\x.inf"}).loadScript(dir_.path()));
    std::filesystem::create_directories(dir_ / "a dir");
    EXPECT_FALSE(start({(dir_ / "a dir").string()}).loadScript(dir_.path()));
    EXPECT_EQ(ui_.shown.back().box.text.find("Cannot read from file"), 0u)
        << ui_.shown.back().box.text;
    EXPECT_EQ(root_.opened(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "prefix"));

    // The script loads without the root; its settings need it.
    SetupSession& session = start({});
    ASSERT_TRUE(session.loadScript(dir_.path()));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "prefix"));
    EXPECT_EQ(session.variables().value("SetupInf"),
              platform::windowsPathOf(dir_ / "Setup.inf", dir_ / "prefix"));
    EXPECT_TRUE(session.readSettings());
    EXPECT_TRUE(std::filesystem::exists(dir_ / "prefix/system.reg"));
    EXPECT_EQ(session.variables().value("Windows"), "C:\\windows");
}

TEST_F(LazyRootSession, VariablesOrAnotherDriveOpenTheRoot) {
    start({"/P%Windows%\\src"});
    EXPECT_NE(root_.opened(), nullptr);
    EXPECT_EQ(session_->run().sourceDirectory, "C:\\windows\\src\\");
}

TEST_F(LazyRootSession, AnExistingRootIsOpenedForItsCodePage) {
    {
        auto made = platform::MachineRoot::open(dir_ / "prefix", {"alice", dir_ / "servers"});
        ASSERT_TRUE(made);
    }
    start({"Gr\u00f6\u00dfe.inf"});
    EXPECT_NE(root_.opened(), nullptr);
    EXPECT_EQ(session_->run().scriptWord,
              "Gr\xf6\xdf"
              "e.inf");
}

TEST_F(LazyRootSession, ARootThatCannotBeMadeIsSaidOnce) {
    kestrel::test::writeFile(dir_ / "prefix", "a file where the prefix should be");
    kestrel::test::writeFile(dir_ / "Setup.inf", "[Setup]\nVersion=5.11\n");
    SetupSession& session = start({});
    ASSERT_TRUE(session.loadScript(dir_.path()));
    EXPECT_FALSE(session.readSettings());
    EXPECT_FALSE(session.openMachine());
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_NE(ui_.shown[0].box.text.find("Cannot use the Windows installation in "),
              std::string::npos)
        << ui_.shown[0].box.text;
}

// The program itself: usage, missing and unreadable scripts, with the console front end.
// Without wine on its PATH, so a new root is the skeleton, made at once.
struct ProgramRun {
    int status;
    std::string output;
};

ProgramRun runSetup(const std::filesystem::path& prefix, const std::filesystem::path& cwd,
                    const std::string& args) {
    const std::string command =
        "cd '" + cwd.string() +
        "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH=/nonexistent WINEPREFIX='" +
        prefix.string() + "' '" SETUP_PROGRAM "' " + args + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ProgramRun run{-1, {}};
    if (pipe == nullptr) return run;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(SetupProgram, UsageMissingAndUnreadableScripts) {
    kestrel::test::TempDir dir;
    const ProgramRun usage = runSetup(dir / "prefix", dir.path(), "/?");
    EXPECT_EQ(usage.status, 0);
    EXPECT_NE(usage.output.find(
                  "Usage: Setup [/A[S|W] /C /L /M /N /O<Options> /P<Directory> /R /S[0|1|2] "
                  "/T[0|1] /U /?] [Inf file]"),
              std::string::npos)
        << usage.output;
    EXPECT_FALSE(std::filesystem::exists(dir / "prefix"));  // asking for usage creates nothing

    const ProgramRun missing = runSetup(dir / "prefix", dir.path(), "absent.inf");
    EXPECT_EQ(missing.status, 255);
    EXPECT_NE(missing.output.find("Cannot open file 'Z:\\"), std::string::npos) << missing.output;
    EXPECT_NE(missing.output.find("absent.inf'!"), std::string::npos) << missing.output;
    const ProgramRun missingOnZ = runSetup(dir / "prefix", dir.path(), "'Z:\\nowhere\\x.inf'");
    EXPECT_EQ(missingOnZ.status, 255);
    EXPECT_NE(missingOnZ.output.find("Cannot open file 'Z:\\nowhere\\x.inf'!"), std::string::npos)
        << missingOnZ.output;

    std::filesystem::create_directories(dir / "a dir");
    const ProgramRun unreadable =
        runSetup(dir / "prefix", dir.path(), "'" + (dir / "a dir").string() + "'");
    EXPECT_EQ(unreadable.status, 255);
    EXPECT_NE(unreadable.output.find("Cannot read from file"), std::string::npos)
        << unreadable.output;
    // Names only a root could resolve before: a path on C:, folders in the name.
    const ProgramRun onC = runSetup(dir / "prefix", dir.path(), "'C:\\setup\\x.inf'");
    EXPECT_EQ(onC.status, 255);
    EXPECT_NE(onC.output.find("Cannot open file 'C:\\setup\\x.inf'!"), std::string::npos)
        << onC.output;
    const ProgramRun inFolder = runSetup(dir / "prefix", dir.path(), "'sub\\x.inf'");
    EXPECT_EQ(inFolder.status, 255);
    // A run that ends before it needs the machine root leaves none behind.
    EXPECT_FALSE(std::filesystem::exists(dir / "prefix"));

    kestrel::test::writeFile(dir / "Setup.inf",
                             "[Setup]\nVersion=5.11\n[Application]\nProductName=Acme\n");
    // The components page of a Custom run comes first: nobody is at a terminal to answer it.
    const ProgramRun good = runSetup(dir / "prefix", dir.path(), "");
    EXPECT_EQ(good.status, 255) << good.output;
    EXPECT_NE(good.output.find("Setup cannot wait for an answer: standard input is not a "
                               "terminal."),
              std::string::npos)
        << good.output;
    EXPECT_TRUE(std::filesystem::exists(dir / "prefix/system.reg"));
    // Unattended, its default answers go through to the end.
    const ProgramRun silent = runSetup(dir / "prefix", dir.path(), "/S");
    EXPECT_EQ(silent.status, 0) << silent.output;
}

// The program decides the run's kind: an uninstallation of a product that is not installed
// says so and fails, silent or not, before anything else is done.
TEST(SetupProgram, RunsOnAnInstallationThatIsNotThereSaySo) {
    kestrel::test::TempDir dir;
    kestrel::test::writeFile(dir / "Setup.inf",
                             "[Setup]\nVersion=5.11\n[Application]\nProductName=Acme\n"
                             "MachineKeyName=Acme\\\\1.0\n");
    const ProgramRun run = runSetup(dir / "prefix", dir.path(), "/U /S");
    EXPECT_EQ(run.status, 255);
    EXPECT_NE(run.output.find("The application 'Acme' is not installed."), std::string::npos)
        << run.output;
}

// On the console a question nobody is there to answer ends the run instead of waiting; a
// silent run asks nothing. Reboot=1 makes the end ask whether to restart.
TEST(SetupProgram, AQuestionWithoutATerminalEndsTheRun) {
    kestrel::test::TempDir dir;
    kestrel::test::writeFile(dir / "Setup.inf",
                             "[Setup]\nVersion=5.11\n[Application]\nProductName=Acme\nReboot=1\n");
    // /O leaves out the components page.
    const ProgramRun asked = runSetup(dir / "prefix", dir.path(), "/O+None Setup.inf </dev/null");
    EXPECT_EQ(asked.status, 255) << asked.output;
    EXPECT_NE(
        asked.output.find("Should the computer be restartet now?\n  [Yes]  [No]\n"
                          "Setup cannot wait for an answer: standard input is not a terminal"),
        std::string::npos)
        << asked.output;

    const ProgramRun silent = runSetup(dir / "prefix", dir.path(), "/S Setup.inf </dev/null");
    EXPECT_EQ(silent.status, 0) << silent.output;
    EXPECT_EQ(silent.output, "");
}

}  // namespace
}  // namespace kestrel::setup::test
