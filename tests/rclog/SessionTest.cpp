// Whole sessions through the real program, installed as WVIEWNT.EXE (a link) beside the
// recording stand-in viewer, without a display.
#include <gtest/gtest.h>

#include <set>

#include "RclogFixture.h"

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
    // A viewer that cannot start still makes a session line.
    fs::permissions(zen_ / "WVIEWNT0.EXE",
                    fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::remove);
    EXPECT_EQ(runProgram({programPath_, "-wWS17.Sales.Acme"}).exitCode, 0);
    EXPECT_EQ(logLines(sessionLog()).size(), 6U);
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
