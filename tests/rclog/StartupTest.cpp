// Start-up of the core: the client, the configuration, the viewer and the start log, driven
// through a scripted Ui.
#include <gtest/gtest.h>

#include "RclogFixture.h"
#include "SessionProcedure.h"
#include "ViewerLaunch.h"

namespace kestrel::rclog::test {
namespace {

namespace fs = std::filesystem;

class StartupTest : public RclogTest {
  protected:
    void SetUp() override {
        RclogTest::SetUp();
        login();
        writeConfig("Notify=Off\n");
    }
    const std::vector<std::string> args_ = {"WVIEWNT.EXE", "-wWS17.Sales.Acme", "-cRemote Control",
                                            "-nACME_TREE"};
    ScriptedUi ui_;
};

TEST_F(StartupTest, ClientThatCannotStartEndsTheRun) {
    ClientCalls calls = linkedClient();
    calls.NWCallsInit = [](nptr, nptr) -> NWCCODE { return NWE_REQUESTER_FAILURE; };
    EXPECT_EQ(runCore(ui_, args_, calls), 1);
    calls = linkedClient();
    calls.NWInitUnicodeTables = [](nint, nint) -> nint { return ERR_UNICODE_FILE_NOT_FOUND; };
    environment_.set("LC_ALL", "de_DE.UTF-8");
    EXPECT_EQ(runCore(ui_, args_, calls), 1);
    ASSERT_EQ(ui_.messages.size(), 2U);
    EXPECT_EQ(ui_.messages[0].text,
              "Can't initialize NetWare API.\nMake sure NetWare Client software is loaded.");
    EXPECT_EQ(ui_.messages[0].caption, "WVIEWNT");
    EXPECT_EQ(ui_.messages[0].icon, Icon::Stop);
    EXPECT_EQ(ui_.messages[1].text,
              "Error in NWInitUnicodeTables: 0xfffffea1 (-351)\nEnsure you have the unicode "
              "files for country.id [49] and code.page [65001]");
    EXPECT_TRUE(viewerRuns().empty());
    EXPECT_FALSE(fs::exists(zen_ / "Quillbox.CS0"));
}

// Without a context the session runs at once, finds no log and ends with its own message.
TEST_F(StartupTest, ContextFailuresReachTheSessionWhichCannotLog) {
    ClientCalls calls = linkedClient();
    calls.NWDSCreateContext = []() -> NWDSContextHandle { return ERR_CONTEXT_CREATION; };
    EXPECT_EQ(runCore(ui_, args_, calls), 1);
    calls = linkedClient();
    calls.NWDSSetContext = [](NWDSContextHandle, nint, const void*) -> NWDSCCODE { return -303; };
    EXPECT_EQ(runCore(ui_, args_, calls), 1);
    calls = linkedClient();
    calls.NWDSGetContext = [](NWDSContextHandle c, nint key, nptr value) -> NWDSCCODE {
        return key == DCK_FLAGS ? -302 : NWDSGetContext(c, key, value);
    };
    EXPECT_EQ(runCore(ui_, args_, calls), 1);
    calls.NWDSGetContext = [](NWDSContextHandle c, nint key, nptr value) -> NWDSCCODE {
        return key == DCK_NAME_CONTEXT ? -302 : NWDSGetContext(c, key, value);
    };
    EXPECT_EQ(runCore(ui_, args_, calls), 1);
    const std::string failed = kLogAccessFailed;
    EXPECT_EQ(ui_.texts(),
              (std::vector<std::string>{"Error in NWDSCreateContext\n", failed,
                                        "NWDSSetContext returned: 0xfffffed1 (-303)", failed,
                                        "NWDSGetContext2 returned: 0xfffffed2 (-302)", failed,
                                        "Error in NWDSGetContext: 0xfffffed2 (-302)", failed}));
    EXPECT_EQ(ui_.messages[0].icon, Icon::None);
    EXPECT_EQ(ui_.messages[2].icon, Icon::Stop);
    EXPECT_EQ(ui_.count("pause 500"), 4 * 5);  // five tries per run
    EXPECT_TRUE(viewerRuns().empty());
}

TEST_F(StartupTest, ContextGetsTypelessNamesWithoutCanonicalising) {
    static nuint32 written = 0;
    ClientCalls calls = linkedClient();
    calls.NWDSSetContext = [](NWDSContextHandle c, nint key, const void* value) -> NWDSCCODE {
        if (key == DCK_FLAGS) written = *static_cast<const nuint32*>(value);
        return NWDSSetContext(c, key, value);
    };
    EXPECT_EQ(runCore(ui_, args_, calls), 0);
    EXPECT_EQ(written & (DCV_TYPELESS_NAMES | DCV_CANONICALIZE_NAMES), DCV_TYPELESS_NAMES);
    EXPECT_NE(written & DCV_DEREF_ALIASES, 0U);  // the other flags stay
}

TEST_F(StartupTest, ArgumentAndPathLimits) {
    std::vector<std::string> eleven(11, "-x");
    EXPECT_EQ(runCore(ui_, eleven), 0);
    eleven.push_back("-y");
    EXPECT_EQ(runCore(ui_, eleven), 1);
    ASSERT_EQ(ui_.messages.size(), 1U);
    EXPECT_NE(ui_.messages[0].text.find("(Error condition 1)"), std::string::npos);
    EXPECT_EQ(ui_.messages[0].icon, Icon::Stop);

    // A program directory that makes the program's path exactly 250 characters long.
    const std::string name = "/WVIEWNT.EXE";
    const fs::path dir = root_ / std::string(250 - root_.string().size() - 1 - name.size(), 'd');
    fs::create_directory(dir);
    fs::copy_file(zen_ / "WVIEWNT0.EXE", dir / "WVIEWNT0.EXE");
    kestrel::test::writeFile(dir / "Quillbox.Cfg", "Notify=Off\n");
    ASSERT_EQ((dir.string() + name).size(), 250U);
    EXPECT_EQ(runCore(ui_, args_, dir.string() + name), 0);
    EXPECT_EQ(viewerRuns().size(), 2U);
    EXPECT_EQ(runCore(ui_, args_, dir.string() + "/WVIEWNTX.EXE"), 1);
    EXPECT_EQ(ui_.messages.back().text,
              "Path+file name of this program (Quillbox) is too long!\n(More than 250 chars)");
    EXPECT_EQ(viewerRuns().size(), 2U);
}

TEST_F(StartupTest, ViewerMayNotBeTheLoggerItself) {
    for (const char* name : {"wviewnt.exe", "WViewNT"}) {
        writeConfig(std::string("Notify=Off\nRCViewer=") + name + "\n");
        EXPECT_EQ(runCore(ui_, args_), 1);
    }
    // Another name for the same file would start the logger over and over.
    writeConfig("Notify=Off\nRCViewer=.\\wviewnt.EXE\n");
    EXPECT_EQ(runCore(ui_, args_), 1);
    ASSERT_EQ(ui_.messages.size(), 3U);
    EXPECT_EQ(ui_.messages[0].text,
              "The RCViewer specification in Quillbox.Cfg *cannot* be called WVIEWNT.EXE (!!)\n"
              "Please refer to the documentation for more details.");
    EXPECT_EQ(ui_.messages[0].caption, "Error in Cfg file ...");
    EXPECT_NE(ui_.messages[1].text.find("called WVIEWNT (!!)"), std::string::npos);
    EXPECT_NE(ui_.messages[2].text.find("called .\\WVIEWNT.EXE (!!)"), std::string::npos);
    EXPECT_TRUE(viewerRuns().empty());
}

// Started by a logger as its viewer, a logger ends at once; a logger that a real viewer
// starts later is another file and runs as usual.
TEST_F(StartupTest, LoggerStartedAsAViewerStartsNothing) {
    environment_.set(kViewerMarker, (zen_ / "WVIEWNT0.EXE").string());
    EXPECT_EQ(runCore(ui_, args_), 0);
    environment_.set(kViewerMarker, (zen_ / "." / "WVIEWNT.EXE").string());
    EXPECT_EQ(runCore(ui_, args_), 1);
    ASSERT_EQ(ui_.messages.size(), 1U);
    EXPECT_EQ(ui_.messages[0].caption, "WVIEWNT");
    EXPECT_EQ(ui_.messages[0].icon, Icon::Stop);
    EXPECT_EQ(viewerRuns().size(), 1U);
    EXPECT_EQ(logLines(startLog()).size(), 5U);
}

TEST_F(StartupTest, ViewerIsFoundInTheProgramDirectoryInAnyCase) {
    writeConfig("Notify=Off\nRCViewer=sub\\wviewnt.exe\n");
    EXPECT_EQ(runCore(ui_, args_), 1);
    ASSERT_EQ(ui_.messages.size(), 1U);
    EXPECT_EQ(ui_.messages[0].text, zen_.string() + "/sub/wviewnt.exe");
    EXPECT_EQ(ui_.messages[0].caption, "Can't locate viewer program!");
    // A leading directory part is no reason to refuse the name.
    fs::create_directory(zen_ / "sub");
    fs::copy_file(zen_ / "WVIEWNT0.EXE", zen_ / "sub" / "WVIEWNT.EXE");
    EXPECT_EQ(runCore(ui_, args_), 0);
    writeConfig("Notify=Off\nrcviewer=wviewnt0.exe");
    EXPECT_EQ(runCore(ui_, args_), 0);
    EXPECT_EQ(viewerRuns().size(), 2U);
}

TEST_F(StartupTest, DefaultsWithoutConfiguration) {
    fs::remove(zen_ / "Quillbox.Cfg");
    EXPECT_EQ(runCore(ui_, args_), 0);
    EXPECT_EQ(ui_.events, (std::vector<std::string>{
                              "notify:   Recording ZENworks remote control access ...", "pause 750",
                              "pause 500", "notify:   Starting ZENworks remote control ...",
                              "pause 1500", "hide"}));
    EXPECT_EQ(ui_.waitCursorDepth, 0);
    EXPECT_EQ(logLines(startLog()).size(), 5U);
    EXPECT_EQ(logLines(sessionLog()).size(), 5U);
    EXPECT_EQ(logLines(startLog())[3], "Time, Date, RC Initiator, Target, Action, Tree name");
}

TEST_F(StartupTest, DebugShowsEveryStepWithoutPauses) {
    writeConfig("Debug=On\nLogNDSInfo=On\n");
    EXPECT_EQ(runCore(ui_, args_), 0);
    const std::string viewer = (zen_ / "WVIEWNT0.EXE").string();
    const std::vector<std::string> values = {"attrCount = 3",
                                             "valCount = 1",
                                             "aValue[0] = WINNT",
                                             "valCount = 1",
                                             "aValue[1] = WS17",
                                             "valCount = 1",
                                             "aValue[2] = ws17.sales.acme.example"};
    std::vector<std::string> expected = {(zen_ / "Quillbox.CS0").string(),
                                         "argc = 4\n| WVIEWNT.EXE | -wWS17.Sales.Acme | "
                                         "-cRemote Control | -nACME_TREE | "};
    expected.insert(expected.end(), values.begin(), values.end());
    expected.insert(
        expected.end(),
        {viewer, "argc = 4\nActionIndex = 2\nTreeIndex = 3\nTargetIndex = 1", "WVIEWNT.EXE",
         "-w\"WS17.Sales.Acme\"", "-c\"Remote Control\"", "-nACME_TREE"});
    expected.insert(expected.end(), values.begin(), values.end());
    EXPECT_EQ(ui_.texts(), expected);
    EXPECT_EQ(ui_.count("pause 750"), 1);  // the notification's first wait stays
    EXPECT_EQ(ui_.count("pause 500") + ui_.count("pause 1500"), 0);
}

// Only a regular file the logger may write to passes the start-up check; anything else in
// the log's place gets the main dialog at once, not a failure later in the session.
TEST_F(StartupTest, DirectoryInTheStartLogsPlaceAsksWhetherToGoOn) {
    fs::create_directory(zen_ / "Quillbox.CS0");
    ui_.answers = {Choice::Cancel};
    EXPECT_EQ(runCore(ui_, args_), 1);
    EXPECT_EQ(ui_.count("ask: Copyright (C) The Kestrel suite developers, Kestrel suite  "), 1);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_TRUE(viewerRuns().empty());
}

TEST_F(StartupTest, UnwritableStartLogAsksWhetherToGoOn) {
    writeConfig("Notify=Off\nLogFileHome=missing\n");
    ui_.answers = {Choice::Cancel};
    EXPECT_EQ(runCore(ui_, args_), 1);
    EXPECT_EQ(ui_.count("ask: Copyright (C) The Kestrel suite developers, Kestrel suite  "), 1);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(ui_.count("pause 500"), 6);  // five tries, then the wait before the dialog

    // OK tries the session again; here the directory has appeared meanwhile.
    ui_.onAsk = [this] { fs::create_directory(zen_ / "missing"); };
    EXPECT_EQ(runCore(ui_, args_), 0);
    EXPECT_EQ(logLines(kestrel::test::readFile(zen_ / "missing" / "Quillbox.CS0")).size(), 5U);
    EXPECT_EQ(viewerRuns().size(), 1U);
}

}  // namespace
}  // namespace kestrel::rclog::test
