#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "Invocation.h"
#include "RmViewer.h"
#include "StartRecord.h"
#include "TestSupport.h"
#include "platform/CommandLine.h"

namespace kestrel::rmviewer {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using State = SummaryRow::State;

class RecordingUi : public Ui {
  public:
    void present(const Summary& summary) override { shown.push_back(summary); }
    std::vector<Summary> shown;
};

const SummaryRow* rowOf(const Summary& summary, std::string_view key) {
    for (const SummaryRow& row : summary.rows) {
        if (row.key == key) return &row;
    }
    return nullptr;
}

Strings keysOf(const Summary& summary) {
    Strings keys;
    for (const SummaryRow& row : summary.rows) keys.push_back(row.key);
    return keys;
}

TEST(RmViewerProgram, TheStartNameDecides) {
    for (const char* viewer : {"WVIEWNT.EXE", "wviewnt.exe", "WViewNT", "WVIEWNT0.EXE", "wviewnt0",
                               "C:\\ZEN\\WVIEWNT.EXE", "/opt/zen/WVIEWNT.EXE"}) {
        EXPECT_EQ(programForName(fileNameOf(viewer)), Program::Viewer) << viewer;
    }
    for (const char* desktop : {"DESKTOP.EXE", "desktop.exe", "Desktop", "Z:\\x\\DESKTOP.EXE"}) {
        EXPECT_EQ(programForName(fileNameOf(desktop)), Program::Desktop) << desktop;
    }
    for (const char* other : {"rmviewer", "", ".EXE", "WVIEWNT1.EXE", "WVIEWNT.EXE.bak",
                              "DESKTOP.COM", "WVIEWNT.EXE\\", "XDESKTOP.EXE"}) {
        EXPECT_EQ(programForName(fileNameOf(other)), Program::Unknown) << other;
    }
}

TEST(RmViewerArguments, TheBrowsersCommandLines) {
    // As the C runtime splits what the full edition passes.
    Invocation full = parseInvocation(platform::splitCommandLine(
        "WVIEWNT.EXE -w\"WS17.Sales.Acme\" -n\"ACME_TREE\" -c\"Remote Control\""));
    EXPECT_EQ(full.startedAs, "WVIEWNT.EXE");
    EXPECT_EQ(full.program, Program::Viewer);
    EXPECT_EQ(full.target, "WS17.Sales.Acme");
    EXPECT_EQ(full.tree, "ACME_TREE");
    EXPECT_EQ(full.function, "Remote Control");
    EXPECT_EQ(full.inventoryServer, std::nullopt);
    EXPECT_EQ(full.product, std::nullopt);
    EXPECT_TRUE(full.unrecognised.empty());

    const Invocation query = parseInvocation(platform::splitCommandLine(
        "DESKTOP.EXE -w\"Sales.Acme\" -n\"ACME TREE\" -ip\"INV SERVER\" -c\"Query\""));
    EXPECT_EQ(query.program, Program::Desktop);
    EXPECT_EQ(query.tree, "ACME TREE");
    EXPECT_EQ(query.inventoryServer, "INV SERVER");
    EXPECT_EQ(query.function, "Query");

    // The first edition, and the logger's rewritten line for the real viewer.
    const Invocation classic = parseInvocation(platform::splitCommandLine(
        "WVIEWNT.EXE -s\"Zen\" -w\"CN=WS17.OU=Sales.O=Acme\" -n\"ACME_TREE\" "
        "-c\"Remote Control\""));
    EXPECT_EQ(classic.product, "Zen");
    EXPECT_EQ(classic.target, "CN=WS17.OU=Sales.O=Acme");
    const Invocation logged =
        parseInvocation({"C:\\ZEN\\WVIEWNT.EXE", "-wWS1.OU1.O1", "-cRemote Control", "-nTREE1"});
    EXPECT_EQ(logged.program, Program::Viewer);
    EXPECT_EQ(logged.target, "WS1.OU1.O1");
    EXPECT_EQ(logged.function, "Remote Control");
    EXPECT_EQ(logged.tree, "TREE1");
}

TEST(RmViewerArguments, LenientAboutFormButNeverGuessing) {
    const Invocation parsed = parseInvocation({"DESKTOP.EXE", "-W  WS1 \r\n", "-IPinv", "-n",
                                               "TREE", "-cChat", "-x", "stray", "-wWS2", "-c"});
    EXPECT_EQ(parsed.target, "WS2");  // the last one counts
    EXPECT_EQ(parsed.inventoryServer, "inv");
    EXPECT_EQ(parsed.tree, "TREE");  // the value as the next argument
    EXPECT_EQ(parsed.function, "");  // given without a value
    EXPECT_EQ(parsed.unrecognised, (Strings{"-x", "stray"}));

    const Invocation noValue = parseInvocation({"WVIEWNT.EXE", "-n", "-wWS1"});
    EXPECT_EQ(noValue.tree, "");
    EXPECT_EQ(noValue.target, "WS1");

    const Invocation nothing = parseInvocation({});
    EXPECT_EQ(nothing.program, Program::Unknown);
    EXPECT_EQ(nothing.startedAs, "");
}

TEST(RmViewerSummary, ShowsWhatWasAskedAndWhatIsMissing) {
    const Summary full = summarise(
        parseInvocation({"WVIEWNT.EXE", "-wWS17.Sales.Acme", "-nACME_TREE", "-cRemote Control"}));
    EXPECT_EQ(keysOf(full), (Strings{"program", "function", "target", "tree", "startedAs"}));
    EXPECT_EQ(full.title, "WVIEWNT.EXE - Remote Control - WS17.Sales.Acme");
    EXPECT_EQ(rowOf(full, "target")->label, "Workstation");
    EXPECT_EQ(rowOf(full, "target")->value, "WS17.Sales.Acme");
    EXPECT_EQ(rowOf(full, "function")->value.rfind("Remote Control", 0), 0u);
    for (const SummaryRow& row : full.rows) EXPECT_EQ(row.state, State::Given) << row.key;

    const Summary bare = summarise(parseInvocation({"DESKTOP.EXE", "-w"}));
    EXPECT_EQ(rowOf(bare, "target")->value, kEmpty);
    EXPECT_EQ(rowOf(bare, "tree")->value, kNotGiven);
    EXPECT_EQ(rowOf(bare, "function")->state, State::Missing);
    EXPECT_EQ(bare.title, "DESKTOP.EXE");
}

TEST(RmViewerSummary, FunctionDecidesTheRows) {
    const Summary query = summarise(parseInvocation({"DESKTOP.EXE", "-wSales.Acme", "-cQuery"}));
    EXPECT_EQ(rowOf(query, "target")->label, "Container");
    ASSERT_NE(rowOf(query, "inventoryServer"), nullptr);  // needed, so shown though missing
    EXPECT_EQ(rowOf(query, "inventoryServer")->value, kNotGiven);

    const Summary misplaced = summarise(parseInvocation({"WVIEWNT.EXE", "-wWS1", "-cChat"}));
    EXPECT_EQ(rowOf(misplaced, "function")->state, State::Problem);
    EXPECT_NE(rowOf(misplaced, "function")->value.find("DESKTOP.EXE"), std::string::npos);
    EXPECT_EQ(rowOf(misplaced, "inventoryServer"), nullptr);

    const Summary unknown =
        summarise(parseInvocation({"rmviewer", "-cFly", "--help", "-s Zen", "-ipSRV"}));
    EXPECT_EQ(rowOf(unknown, "program")->state, State::Problem);
    EXPECT_NE(rowOf(unknown, "program")->value.find("rmviewer"), std::string::npos);
    EXPECT_EQ(rowOf(unknown, "function")->state, State::Problem);
    EXPECT_EQ(rowOf(unknown, "unrecognised")->value, "\"--help\"");
    EXPECT_EQ(rowOf(unknown, "product")->value, "Zen");
    EXPECT_EQ(rowOf(unknown, "inventoryServer")->value, "SRV");
}

TEST(RmViewerRecord, OneLinePerStartInOneWrite) {
    EXPECT_EQ(recordLine({"/x/WVIEWNT.EXE", "-wWS1", "-cRemote Control", ""}),
              "WVIEWNT.EXE\t-wWS1\t-cRemote Control\t\n");
    EXPECT_EQ(recordLine({"DESKTOP.EXE", "a\tb\nc\x7f", "C:\\x"}),
              "DESKTOP.EXE\ta\\x09b\\x0Ac\\x7F\tC:\\x\n");

    test::TempDir dir;
    const fs::path record = dir / "starts.txt";
    constexpr int kProcesses = 6;
    constexpr int kStarts = 40;
    const std::string padding(3000, 'p');  // long lines, so a split write would show
    ASSERT_TRUE(test::runInProcesses(kProcesses, [&](int index) {
        for (int i = 0; i < kStarts; ++i) {
            const std::string line = recordLine(
                {"WVIEWNT.EXE", "-w" + std::to_string(index) + "." + std::to_string(i), padding});
            if (appendRecord(record, line)) return false;
        }
        return true;
    }));
    std::istringstream lines(test::readFile(record));
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        EXPECT_EQ(line.rfind("WVIEWNT.EXE\t-w", 0), 0u);
        EXPECT_EQ(line.size() - line.rfind('\t') - 1, padding.size());
    }
    EXPECT_EQ(count, kProcesses * kStarts);
}

TEST(RmViewerRecord, StartRecordsAndPresents) {
    test::TempDir dir;
    RecordingUi ui;
    startViewer({"DESKTOP.EXE", "-wWS1.Acme", "-cChat"}, dir / "record", ui);
    startViewer({"WVIEWNT.EXE"}, std::nullopt, ui);
    EXPECT_EQ(test::readFile(dir / "record"), "DESKTOP.EXE\t-wWS1.Acme\t-cChat\n");
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(rowOf(ui.shown[0], "target")->value, "WS1.Acme");
    EXPECT_TRUE(ui.shown[0].notes.empty());

    // A record that cannot be written still shows the window, with the reason.
    startViewer({"DESKTOP.EXE"}, dir / "missing" / "record", ui);
    ASSERT_EQ(ui.shown.size(), 3u);
    ASSERT_EQ(ui.shown[2].notes.size(), 1u);
    EXPECT_NE(ui.shown[2].notes[0].find("No such file"), std::string::npos);

    {
        const test::ScopedEnv unset(kRecordVariable, std::nullopt);
        EXPECT_EQ(recordFileFromEnvironment(), std::nullopt);
    }
    const test::ScopedEnv empty(kRecordVariable, "");
    EXPECT_EQ(recordFileFromEnvironment(), std::nullopt);
    const test::ScopedEnv set(kRecordVariable, (dir / "r").string());
    EXPECT_EQ(recordFileFromEnvironment(), dir / "r");
}

// The real program under one of its names: the record shows that the arguments arrived
// whole, past the toolkit's own option parsing.
TEST(RmViewerProgramRun, RecordsItsStartUnderTheNameItWasGiven) {
    test::TempDir dir;
    const fs::path program = dir / "DESKTOP.EXE";
    fs::create_symlink(fs::path(KESTREL_BINARY_DIR) / "bin" / "rmviewer", program);
    const fs::path record = dir / "record";
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv(kRecordVariable, record.c_str(), 1);
        ::execl(program.c_str(), "DESKTOP.EXE", "-wWS1.Acme", "-nACME_TREE", "-cFile Transfer",
                "-reverse", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string text;
    for (int i = 0; i < 200 && text.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        text = test::readFile(record);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, WNOHANG), 0);  // the window stays until closed
    ::kill(child, SIGTERM);
    ::waitpid(child, &status, 0);
    EXPECT_EQ(text, "DESKTOP.EXE\t-wWS1.Acme\t-nACME_TREE\t-cFile Transfer\t-reverse\n");
}

}  // namespace
}  // namespace kestrel::rmviewer
