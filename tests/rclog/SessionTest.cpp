// Whole sessions through the real program, installed as WVIEWNT.EXE (a link) beside the
// recording stand-in viewer, without a display.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "RclogFixture.h"
#include "WindowTexts.h"

namespace kestrel::rclog::test {
namespace {

namespace fs = std::filesystem;
using Argv = std::vector<std::string>;

class SessionTest : public RclogTest {
  protected:
    void SetUp() override {
        RclogTest::SetUp();
        login();
        writeConfig("Notify=Off\n");
    }
    // The start log's lines after the header, without their times.
    std::vector<std::string> startFields() const {
        std::vector<std::string> fields;
        const std::vector<std::string> lines = logLines(startLog());
        for (std::size_t i = 4; i < lines.size(); ++i)
            fields.push_back(afterStamps(lines[i], 1).value_or("no time stamp: " + lines[i]));
        return fields;
    }
};

TEST_F(SessionTest, BrowserCommandLineReachesTheViewerRewritten) {
    const ProgramRun run =
        runProgram({programPath_, "-wWS1.OU1.O1", "-cRemote Control", "-nTREE1"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(viewerRuns(),
              (std::vector<Argv>{{programPath_, "-wWS1.OU1.O1", "-cRemote Control", "-nTREE1"}}));
    EXPECT_EQ(startFields(), (Argv{"Admin.Acme, WS1.OU1.O1, Remote Control, TREE1"}));
    const std::vector<std::string> session = logLines(sessionLog());
    ASSERT_EQ(session.size(), 5U);
    EXPECT_EQ(afterStamps(session[4], 2), "Admin.Acme, WS1.OU1.O1, Remote Control, TREE1");
    EXPECT_EQ(sessionLog().substr(sessionLog().size() - 2), "\r\n");
}

// Every entry reaches the viewer whole, blanks and all.
TEST_F(SessionTest, OtherEntriesPassUnchangedAndUpperCaseSwitchesCount) {
    EXPECT_EQ(runProgram({"WVIEWNT.EXE", "-cremote control", "-WWS17.Sales.Acme"}).exitCode, 0);
    EXPECT_EQ(runProgram({programPath_, "-nACME_TREE", "-cRemote View"}).exitCode, 0);
    EXPECT_EQ(viewerRuns(),
              (std::vector<Argv>{{"WVIEWNT.EXE", "-cremote control", "-wWS17.Sales.Acme"},
                                 {programPath_, "-nACME_TREE", "-cRemote View"}}));
    EXPECT_EQ(startFields(), (Argv{"Admin.Acme, WS17.Sales.Acme, remote control, Unknown",
                                   "Admin.Acme, Unknown, Remote View, ACME_TREE"}));
}

TEST_F(SessionTest, DirectoryColumnsAndTheHeaderThatWasThereFirst) {
    EXPECT_EQ(runProgram({programPath_, "-wWS17.Sales.Acme", "-cRemote Control"}).exitCode, 0);
    writeConfig("Notify=Off\nLogNDSInfo=On\n");
    EXPECT_EQ(runProgram({programPath_, "-wWS1.Sales.Acme", "-cRemote Control"}).exitCode, 0);
    EXPECT_EQ(runProgram({programPath_, "-wWS2.Sales.Acme", "-nACME_TREE"}).exitCode, 0);
    const ProgramRun noTarget = runProgram({programPath_, "-cRemote View"});
    EXPECT_EQ(noTarget.exitCode, 0);
    // The directory is asked about "Unknown" for both lines, and says so twice.
    EXPECT_EQ(noTarget.errors,
              "WVIEWNT (error): ReadAttr: NWDSRead returned: FFFFFDA7\n"
              "WVIEWNT (error): ReadAttr: NWDSRead returned: FFFFFDA7\n");
    EXPECT_EQ(logLines(startLog())[3], "Time, Date, RC Initiator, Target, Action, Tree name");
    EXPECT_EQ(startFields(),
              (Argv{"Admin.Acme, WS17.Sales.Acme, Remote Control, Unknown",
                    "Admin.Acme, WS1.Sales.Acme, WIN98, Unknown, Unknown, Remote Control, Unknown",
                    "Admin.Acme, WS2.Sales.Acme, WINNT, n/a, Unknown, Unknown, ACME_TREE",
                    "Admin.Acme, Unknown, Unknown, Unknown, Unknown, Remote View, Unknown"}));
    EXPECT_EQ(viewerRuns().back(), (Argv{programPath_, "-cRemote View"}));
}

TEST_F(SessionTest, ExitCodesAndSessionsWhoseViewerFails) {
    environment_.set("RCLOG_VIEWER_EXIT", "7");
    EXPECT_EQ(runProgram({programPath_, "-wWS17.Sales.Acme"}).exitCode, 0);
    // A viewer that cannot start makes no session: the start log keeps the attempt, the
    // person is told why, and the exit code says the viewer did not start.
    fs::permissions(zen_ / "WVIEWNT0.EXE",
                    fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::remove);
    const ProgramRun failed = runProgram({programPath_, "-wWS17.Sales.Acme"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.errors,
              "Can't start viewer program! (error): " + (zen_ / "WVIEWNT0.EXE").string() +
                  "\nIt may not be run (no permission, or it is busy).\n");
    EXPECT_EQ(logLines(startLog()).size(), 6U);
    EXPECT_EQ(logLines(sessionLog()).size(), 5U);
    EXPECT_EQ(viewerRuns().size(), 1U);
}

// The rewrite quotes the target, so the name cannot carry switches of its own; the logs and
// the viewer see the same text.
TEST_F(SessionTest, TargetWithQuotesAndBackslashesStaysOneArgument) {
    const std::string target = R"(WS1" -cEvil -x")";
    EXPECT_EQ(runProgram({programPath_, "-w" + target, "-cRemote Control"}).exitCode, 0);
    EXPECT_EQ(runProgram({programPath_, R"(-wWS2\)", "-nT"}).exitCode, 0);
    EXPECT_EQ(viewerRuns(), (std::vector<Argv>{{programPath_, "-w" + target, "-cRemote Control"},
                                               {programPath_, R"(-wWS2\)", "-nT"}}));
    EXPECT_EQ(startFields(), (Argv{"Admin.Acme, " + target + ", Remote Control, Unknown",
                                   R"(Admin.Acme, WS2\, Unknown, T)"}));
}

TEST_F(SessionTest, ProgramFolderWithBlanks) {
    const fs::path folder = root_ / "remote tools";
    fs::create_directory(folder);
    fs::create_symlink(QUILLBOX_PROGRAM, folder / "WVIEWNT.EXE");
    fs::copy_file(VIEWER_STUB, folder / "WVIEWNT0.EXE");
    kestrel::test::writeFile(folder / "Quillbox.Cfg", "Notify=Off\n");
    const std::string program = (folder / "WVIEWNT.EXE").string();
    EXPECT_EQ(runProgram({program, "-wWS17.Sales.Acme", "-nMY TREE"}, program).exitCode, 0);
    EXPECT_EQ(viewerRuns(), (std::vector<Argv>{{program, "-wWS17.Sales.Acme", "-nMY TREE"}}));
    EXPECT_EQ(logLines(kestrel::test::readFile(folder / "Quillbox.CSV")).size(), 5U);
}

// A caller's argument 0 does not move the logger: configuration, viewer and logs stay beside
// the file the system runs.
TEST_F(SessionTest, ForgedProgramNameMovesNothing) {
    const fs::path forged = root_ / "forged";
    fs::create_directory(forged);
    fs::copy_file(VIEWER_STUB, forged / "WVIEWNT0.EXE");
    kestrel::test::writeFile(forged / "Quillbox.Cfg", "Notify=Off\n");
    const std::string name = (forged / "WVIEWNT.EXE").string();
    EXPECT_EQ(runProgram({name, "-wWS17.Sales.Acme"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(forged / "Quillbox.CS0"));
    EXPECT_EQ(logLines(startLog()).size(), 5U);
    // The viewer is still handed the caller's argument 0.
    EXPECT_EQ(viewerRuns(), (std::vector<Argv>{{name, "-wWS17.Sales.Acme"}}));
}

// A second install made by copying puts a logger where the viewer should be. It is never
// started; and a logger of another make that is started ends at once without a viewer.
TEST_F(SessionTest, LoggerAsTheViewerEndsAtOnce) {
    fs::remove(zen_ / "WVIEWNT0.EXE");
    fs::copy_file(QUILLBOX_PROGRAM, zen_ / "WVIEWNT0.EXE");
    // Loggers starting loggers would nest without end, each waiting for the next: stop soon.
    const std::chrono::seconds limit(15);
    const ProgramRun copy = runProgram({programPath_, "-wWS17.Sales.Acme"}, "", limit);
    EXPECT_EQ(copy.exitCode, 1);
    EXPECT_EQ(copy.errors,
              "Can't start viewer program! (error): " + (zen_ / "WVIEWNT0.EXE").string() +
                  "\nIt is this logger or a copy of it, not the viewer: starting it would "
                  "start the logger again.\n");
    EXPECT_EQ(logLines(startLog()).size(), 5U);
    EXPECT_FALSE(fs::exists(zen_ / "Quillbox.CSV"));

    // Another build of the logger: its bytes differ, the marker it inherits does not.
    std::ofstream(zen_ / "WVIEWNT0.EXE", std::ios::app) << "another build";
    const ProgramRun other = runProgram({programPath_, "-wWS17.Sales.Acme"}, "", limit);
    EXPECT_EQ(other.exitCode, 0);  // how a viewer ends is not the logger's business
    // The copy goes by the file the system ran for it, WVIEWNT0.EXE.
    EXPECT_EQ(other.errors,
              "WVIEWNT0 (error): This logger was started by another logger as its viewer (" +
                  (zen_ / "WVIEWNT0.EXE").string() +
                  ") and starts no viewer itself.\nRCViewer in Quillbox.Cfg must name the real "
                  "viewer, not a logger.\n");
    EXPECT_EQ(logLines(startLog()).size(), 6U);
    EXPECT_TRUE(viewerRuns().empty());
}

// Its front end lies beside the real program, not beside the copy.
TEST_F(SessionTest, CopiedLoggerFindsItsWindows) {
    const fs::path folder = root_ / "copy";
    fs::create_directory(folder);
    fs::copy_file(QUILLBOX_PROGRAM, folder / "WVIEWNT.EXE");
    fs::copy_file(VIEWER_STUB, folder / "WVIEWNT0.EXE");
    const std::string program = (folder / "WVIEWNT.EXE").string();
    const ProgramRun run = runProgram({program, "-wWS17.Sales.Acme"}, program);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors.find("no windows"), std::string::npos) << run.errors;
    // Without a display the notifications go to standard error instead.
    EXPECT_NE(run.errors.find(kestrel::rclog::kRecordingCaption), std::string::npos);
    EXPECT_EQ(viewerRuns().size(), 1U);
}

TEST_F(SessionTest, FirstRunCreatesTheSessionLogOnlyWhenTheSessionEnds) {
    environment_.set("RCLOG_VIEWER_PROBE", (zen_ / "Quillbox.CSV").string());
    EXPECT_EQ(runProgram({programPath_, "-wWS17.Sales.Acme"}).exitCode, 0);
    ASSERT_EQ(viewerRuns().size(), 1U);
    EXPECT_EQ(viewerRuns()[0][0], "absent");
    EXPECT_EQ(logLines(sessionLog()).size(), 5U);
}

// The link's directory counts, also when the caller names the program without a directory
// and the system found it (as the browser's Windows-style start does).
TEST_F(SessionTest, LogsAndViewerLieBesideTheLinkNotItsTarget) {
    fs::create_directories(root_ / "prefix" / "dosdevices");
    fs::create_directory(root_ / "f-drive");
    fs::create_directory_symlink(root_ / "f-drive", root_ / "prefix" / "dosdevices" / "f:");
    writeConfig("Notify=Off\nLogFileHome=F:\\");
    EXPECT_EQ(runProgram({"WVIEWNT.EXE", "-wWS17.Sales.Acme"}).exitCode, 0);
    EXPECT_EQ(logLines(kestrel::test::readFile(root_ / "f-drive" / "Quillbox.CS0")).size(), 5U);
    EXPECT_EQ(logLines(kestrel::test::readFile(root_ / "f-drive" / "Quillbox.CSV")).size(), 5U);
    EXPECT_EQ(viewerRuns().size(), 1U);
    EXPECT_FALSE(fs::exists(zen_ / "Quillbox.CS0"));
}

// Without a display every message goes to standard error and the session is still logged.
TEST_F(SessionTest, ConsoleShowsNotificationsAndDiagnostics) {
    writeConfig("Debug=On\n");
    const ProgramRun run = runProgram({programPath_, "-wWS17.Sales.Acme"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.errors.find("  Recording ZENworks remote control access ...\n"),
              std::string::npos);
    EXPECT_NE(run.errors.find("  Starting ZENworks remote control ...\n"), std::string::npos);
    EXPECT_NE(run.errors.find("WVIEWNT: argc = 2\n| " + programPath_ + " | -wWS17.Sales.Acme | \n"),
              std::string::npos);
    EXPECT_EQ(logLines(sessionLog()).size(), 5U);
}

TEST_F(SessionTest, StartLogThatCannotBeWrittenStopsTheSession) {
    kestrel::test::writeFile(root_ / "file", "");
    writeConfig("Notify=Off\nLogFileHome=" + (root_ / "file").string() + "\n");
    const ProgramRun run = runProgram({programPath_, "-wWS17.Sales.Acme"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errors,
              "Quillbox: Log ZENworks Remote Control Usage ...: Cann't open log file. Continue? "
              "-> OK\nWVIEWNT (error): Cannot access log file. Please try again.\n");
    EXPECT_TRUE(viewerRuns().empty());
}

TEST_F(SessionTest, FiftySessionsAtOnceLogFiftyWholeLinesEach) {
    constexpr int kSessions = 50;
    ASSERT_TRUE(kestrel::test::runInProcesses(kSessions, [this](int i) {
        const std::string target = "-wWS" + std::to_string(i) + ".Sales.Acme";
        return runProgram({programPath_, target, "-cRemote Control", "-nACME_TREE"}).exitCode == 0;
    }));
    for (const std::string& log : {startLog(), sessionLog()}) {
        const std::vector<std::string> lines = logLines(log);
        ASSERT_EQ(lines.size(), 4U + kSessions);
        std::set<std::string> targets;
        const int stamps = log == startLog() ? 1 : 2;
        for (std::size_t i = 4; i < lines.size(); ++i) {
            const std::string fields = afterStamps(lines[i], stamps).value_or(lines[i]);
            const std::string prefix = "Admin.Acme, WS";
            const std::string suffix = ".Sales.Acme, Remote Control, ACME_TREE";
            ASSERT_EQ(fields.rfind(prefix, 0), 0U) << lines[i];
            ASSERT_GT(fields.size(), prefix.size() + suffix.size()) << lines[i];
            ASSERT_EQ(fields.substr(fields.size() - suffix.size()), suffix) << lines[i];
            targets.insert(
                fields.substr(prefix.size(), fields.size() - prefix.size() - suffix.size()));
        }
        EXPECT_EQ(targets.size(), static_cast<std::size_t>(kSessions));
    }
    EXPECT_EQ(viewerRuns().size(), static_cast<std::size_t>(kSessions));
}

}  // namespace
}  // namespace kestrel::rclog::test
