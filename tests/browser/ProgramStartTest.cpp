#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CommandLineSwitches.h"
#include "ParamNames.h"
#include "ScriptedUi.h"
#include "TestSupport.h"
#include "window/ProgramStart.h"
#include "workstation/ZenPrograms.h"

namespace kestrel::browser::test {
namespace {

using kestrel::test::TempDir;
using kestrel::test::writeFile;

constexpr const char* kMissingTail =
    "couldn't be found in the start directory of Kestrelscope!\n"
    "You won't be able to do any ZEN specific operations!\n\nDo you like to proceed?";

class ProgramStart : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(startDir_);
        writeFile(startDir_ / "WVIEWNT.EXE", "viewer");
        writeFile(startDir_ / "DESKTOP.EXE", "desktop");
    }

    StartOutcome start(const std::string& commandLine) {
        app_.commandLine = commandLine;
        return startProgram(app_, ui_, settings_, startDir_);
    }
    void writeSettings(const std::string& content) { writeFile(settings_.path(), content); }

    TempDir temp_;
    std::filesystem::path startDir_ = temp_ / "start";
    SettingsFile settings_{temp_ / "KESTRELSCOPE.INI"};
    CKestrelscopeApp app_;
    ScriptedUi ui_;
};

TEST_F(ProgramStart, ContextAtTheStartOfTheCommandLineIsOpened) {
    writeSettings("[NDS Settings]\nStartContext=O=Other\nStartTree=OTHER_TREE\n");
    ASSERT_EQ(start("OU=WS.O=Acme /nosave"), StartOutcome::OpenMainWindow);
    EXPECT_EQ(app_.startContext, "OU=WS.O=Acme");
    EXPECT_TRUE(app_.switches.noSave);
    EXPECT_FALSE(app_.switches.noChange);
    // The saved tree belongs to the saved context, which the command line replaced.
    EXPECT_EQ(app_.startTree, "");
    EXPECT_TRUE(ui_.questions.empty());

    for (const char* line : {"O=Acme", "L=Berlin.O=Acme", "S=Hessen.C=DE x", "C=DE"}) {
        CKestrelscopeApp app;
        app.commandLine = line;
        ASSERT_TRUE(applyCommandLine(app));
        EXPECT_EQ(app.startContext, std::string(line).substr(0, std::string(line).find(' ')));
    }
}

TEST_F(ProgramStart, ContextAfterASwitchIsIgnoredAndTheSettingsFileUsed) {
    writeSettings(
        "[NDS Settings]\nStartContext=O=Saved\nStartTree=SAVED_TREE\nINVServer=10.0.0.9\n");
    ASSERT_EQ(start("/nosave OU=WS.O=Acme"), StartOutcome::OpenMainWindow);
    EXPECT_EQ(app_.startContext, "O=Saved");
    EXPECT_EQ(app_.startTree, "SAVED_TREE");
    EXPECT_EQ(app_.inventoryServer, "10.0.0.9");
    EXPECT_FALSE(app_.inventoryServerFromCommandLine);
    EXPECT_TRUE(app_.switches.noSave);
}

TEST_F(ProgramStart, RootAnywhereStartsTheContextCutAtTheBlank) {
    ASSERT_EQ(start("/nochange [Root] /nosearch"), StartOutcome::OpenMainWindow);
    EXPECT_EQ(app_.startContext, "[Root]");
    app_ = {};
    ASSERT_EQ(start("x[Root]y"), StartOutcome::OpenMainWindow);
    EXPECT_EQ(app_.startContext, "[Root]y");
}

TEST_F(ProgramStart, HelpSwitchAnywhereShowsHelpAndEnds) {
    for (const char* line : {"-h", "-?", "OU=Tech-house.O=Acme", "/nosave -?", "O=A-h"}) {
        ScriptedUi ui;
        CKestrelscopeApp app;
        app.commandLine = line;
        EXPECT_EQ(startProgram(app, ui, settings_, startDir_), StartOutcome::End) << line;
        ASSERT_EQ(ui.helpTexts.size(), 1u) << line;
        EXPECT_EQ(app.startContext, "");
        EXPECT_TRUE(ui.questions.empty());
    }
    // Case matters: "/noHelp" holds an "H", not an "h".
    EXPECT_EQ(start("/noHelp"), StartOutcome::OpenMainWindow);
    EXPECT_TRUE(app_.switches.noHelp);
}

TEST_F(ProgramStart, HelpTextListsEverySwitch) {
    std::string help = commandLineHelp();
    EXPECT_TRUE(help.starts_with("Kestrelscope [startcontext] [options] [-?|-h]\n"));
    for (const char* name :
         {"-?", "/nochange", "/nosave", "/nocreate", "/nosearch", "/noNDS", "/noHelp", "/noInv",
          "/onlyView", "/onlyControl", "/onlyRemote", "/Inv="})
        EXPECT_NE(help.find(name), std::string::npos) << name;
}

TEST_F(ProgramStart, EverySwitchSetsItsOwnFlag) {
    ASSERT_EQ(start("/nochange /nosave /nocreate /nosearch /noNDS /noHelp /noInv"),
              StartOutcome::OpenMainWindow);
    const SwitchFlags& f = app_.switches;
    EXPECT_TRUE(f.noChange && f.noSave && f.noCreate && f.noSearch && f.noTree && f.noHelp &&
                f.noInventory);
    EXPECT_FALSE(f.onlyView || f.onlyControl);

    // Comparisons are exact and case-sensitive.
    app_ = {};
    ASSERT_EQ(start("/NOCHANGE /noSave /onlyview /inv=1"), StartOutcome::OpenMainWindow);
    EXPECT_EQ(app_.switches.noChange || app_.switches.noSave || app_.switches.onlyView ||
                  app_.inventoryServerFromCommandLine,
              false);
}

TEST_F(ProgramStart, OnlyRemoteWinsOverOnlyView) {
    ASSERT_EQ(start("/onlyRemote /onlyView"), StartOutcome::OpenMainWindow);
    EXPECT_TRUE(app_.switches.onlyView);
    EXPECT_TRUE(app_.switches.onlyControl);
    app_ = {};
    ASSERT_EQ(start("/onlyControl"), StartOutcome::OpenMainWindow);
    EXPECT_FALSE(app_.switches.onlyView);
    EXPECT_TRUE(app_.switches.onlyControl);
}

TEST_F(ProgramStart, InventoryServerFromTheCommandLineWinsOverTheFile) {
    writeSettings("[NDS Settings]\nINVServer=10.0.0.9\n");
    ASSERT_EQ(start("/Inv=192.168.1.5 /noInv"), StartOutcome::OpenMainWindow);
    EXPECT_TRUE(app_.inventoryServerFromCommandLine);
    EXPECT_EQ(app_.inventoryServer, "192.168.1.5");
    EXPECT_TRUE(app_.switches.noInventory);

    // An empty "/Inv=" leaves the server to the settings file.
    app_ = {};
    ASSERT_EQ(start("/Inv= /nosave"), StartOutcome::OpenMainWindow);
    EXPECT_TRUE(app_.inventoryServerFromCommandLine);
    EXPECT_EQ(app_.inventoryServer, "10.0.0.9");
}

TEST_F(ProgramStart, SettingsAreCutAt511BytesAndBadFilesReadEmpty) {
    writeSettings("[nds settings]\r\nstartcontext=" + std::string(600, 'x') + "\r\n");
    ASSERT_EQ(start(""), StartOutcome::OpenMainWindow);
    EXPECT_EQ(app_.startContext, std::string(511, 'x'));

    for (std::string content : {std::string("\0\0\xff[NDS Settings\nStartContext", 29),
                                std::string("StartContext=O=Acme\n"), std::string("\n")}) {
        writeSettings(content);
        app_ = {};
        ASSERT_EQ(start(""), StartOutcome::OpenMainWindow);
        EXPECT_EQ(app_.startContext, "");
    }

    // A folder in place of the file, and a file that cannot be read.
    std::filesystem::remove(settings_.path());
    std::filesystem::create_directory(settings_.path());
    app_ = {};
    EXPECT_EQ(start(""), StartOutcome::OpenMainWindow);
    EXPECT_EQ(app_.startContext, "");
    std::filesystem::remove(settings_.path());
    if (geteuid() != 0) {
        writeSettings("[NDS Settings]\nStartContext=O=Acme\n");
        chmod(settings_.path().c_str(), 0);
        app_ = {};
        EXPECT_EQ(start(""), StartOutcome::OpenMainWindow);
        EXPECT_EQ(app_.startContext, "");
    }
}

struct Missing {
    const char* what;
    bool viewer;
    bool desktop;
    const char* prefix;
};

void PrintTo(const Missing& missing, std::ostream* out) {
    *out << missing.what;
}

class MissingPrograms : public ProgramStart, public ::testing::WithParamInterface<Missing> {};

TEST_P(MissingPrograms, AskWithTheirNamesAndNoEndsTheProgram) {
    const Missing& missing = GetParam();
    if (missing.viewer) std::filesystem::remove(startDir_ / "WVIEWNT.EXE");
    if (missing.desktop) std::filesystem::remove(startDir_ / "DESKTOP.EXE");
    ui_.answers = {false};
    EXPECT_EQ(start("/nosave"), StartOutcome::End);
    ASSERT_EQ(ui_.questions.size(), 1u);
    EXPECT_EQ(ui_.questions[0], std::string(missing.prefix) + kMissingTail);

    app_ = {};
    ui_.answers = {true};
    EXPECT_EQ(start(""), StartOutcome::OpenMainWindow);
    EXPECT_EQ(app_.viewerMissing, missing.viewer ? 1 : 0);
    EXPECT_EQ(app_.desktopMissing, missing.desktop ? 2 : 0);
    // Only a missing DESKTOP.EXE restricts the functions.
    EXPECT_EQ(app_.switches.onlyView, missing.desktop);
    EXPECT_EQ(app_.switches.onlyControl, missing.desktop);
}

INSTANTIATE_TEST_SUITE_P(Start, MissingPrograms,
                         ::testing::Values(Missing{"Viewer", true, false, "WVIEWNT.EXE "},
                                           Missing{"Desktop", false, true, "DESKTOP.EXE "},
                                           Missing{"Both", true, true,
                                                   "Neither WVIEWNT.EXE nor DESKTOP.EXE "}),
                         kestrel::test::NameFromWhat());

TEST_F(ProgramStart, ProgramsAreFoundWhateverTheirCase) {
    std::filesystem::remove(startDir_ / "WVIEWNT.EXE");
    std::filesystem::remove(startDir_ / "DESKTOP.EXE");
    writeFile(startDir_ / "wviewnt.exe", "viewer");
    writeFile(startDir_ / "Desktop.Exe", "desktop");
    EXPECT_EQ(start(""), StartOutcome::OpenMainWindow);
    EXPECT_TRUE(ui_.questions.empty());
    EXPECT_EQ(findProgramFile(startDir_, "DESKTOP.EXE"), startDir_ / "Desktop.Exe");
}

TEST_F(ProgramStart, OnlyReadableFilesCountAsPrograms) {
    std::filesystem::remove(startDir_ / "DESKTOP.EXE");
    std::filesystem::create_directory(startDir_ / "DESKTOP.EXE");
    ASSERT_EQ(mkfifo((startDir_ / "wviewnt.exe").c_str(), 0644), 0);
    std::filesystem::remove(startDir_ / "WVIEWNT.EXE");
    ui_.answers = {true};
    EXPECT_EQ(start(""), StartOutcome::OpenMainWindow);
    EXPECT_EQ(ui_.questions,
              std::vector<std::string>{std::string("Neither WVIEWNT.EXE nor DESKTOP.EXE ") +
                                       kMissingTail});
    EXPECT_EQ(findProgramFile(temp_ / "absent", "DESKTOP.EXE"), std::nullopt);
}

}  // namespace
}  // namespace kestrel::browser::test
