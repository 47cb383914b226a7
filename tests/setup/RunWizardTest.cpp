// The wizard of a run: which pages come up for which kind of run, travel back and forth, what
// the pages leave in the variables, and the directories the work goes to.
#include <gtest/gtest.h>

#include "WorkRunFixture.h"
#include "messages/MessageStrings.h"
#include "program/FinalDirectories.h"
#include "program/RunWizard.h"

namespace kestrel::setup::test {
namespace {

const char* const kAllPages =
    "AskLicence=1\nLicenceText=Be kind.\nAskInfo=1\nInfoText=About it.\nAskMode=1\n"
    "AskDataDir=1\nDataDir=C:\\Data\n";

class RunWizardTest : public WorkRunFixture {};

TEST_F(RunWizardTest, AFreshInstallationShowsEveryPageItAsksFor) {
    startRun(std::string(kAllPages) + kProduct);
    ASSERT_TRUE(runWizard(*run_));
    EXPECT_EQ(ui_.pageKinds(),
              (std::vector<PageKind>{PageKind::Licence, PageKind::Info, PageKind::Mode,
                                     PageKind::GetDir, PageKind::GetDataDir, PageKind::GetUser,
                                     PageKind::GetVal, PageKind::Options}));
    EXPECT_FALSE(ui_.pages.front().backEnabled);
    EXPECT_TRUE(ui_.pages[1].backEnabled);
}

// The licence and information texts are unescaped as the installer's other texts are.
TEST_F(RunWizardTest, LicenceAndInfoTextsBreakTheirLines) {
    startRun(
        "AskLicence=1\nLicenceText=First: \\n%ProductName%\\\\free\nAskInfo=1\n"
        "InfoText=One\\nTwo\n" +
        std::string(kProduct));
    ui_.answerPages({PageResult::Next, PageResult::Cancel});
    ui_.answer({buttons::kYes});
    EXPECT_FALSE(runWizard(*run_));
    ASSERT_EQ(ui_.pages.size(), 2u);
    EXPECT_EQ(ui_.pages[0].text, "First: \r\nAcme Tools\\free");
    EXPECT_EQ(ui_.pages[1].text, "One\r\nTwo");
}

TEST_F(RunWizardTest, SilentAndRegisteredRunsShowNoPage) {
    for (const auto& kind : std::vector<std::function<void(RunState&)>>{
             [](RunState& run) { run.silent = true; }, [](RunState& run) { run.uninstall = true; },
             [](RunState& run) { run.repeat = true; }}) {
        ui_.pages.clear();
        startRun(std::string(kAllPages) + kProduct, kind);
        ASSERT_TRUE(runWizard(*run_));
        EXPECT_TRUE(ui_.pages.empty()) << ui_.pages.size();
    }
}

TEST_F(RunWizardTest, BackReturnsToTheShownPageAndCancelEndsTheWizard) {
    startRun(std::string(kAllPages) + kProduct);
    ui_.answerPages({PageResult::Next, PageResult::Back, PageResult::Next, PageResult::Next,
                     PageResult::Cancel});
    ui_.answer({buttons::kYes});
    EXPECT_FALSE(runWizard(*run_));
    EXPECT_EQ(ui_.pageKinds(),
              (std::vector<PageKind>{PageKind::Licence, PageKind::Info, PageKind::Licence,
                                     PageKind::Info, PageKind::Mode}));
}

// Going back to look at an earlier page loses nothing: a page left with Back comes up again
// with what was typed or chosen on it, prompts too.
TEST_F(RunWizardTest, APageLeftWithBackKeepsWhatWasEnteredOnIt) {
    startRun("AskInfo=1\nInfoText=About it.\nAskMode=1\n" + std::string(kProduct));
    ui_.answerPage({PageResult::Next});
    ui_.answerPage({PageResult::Back, {}, 1});  // Standard chosen, then back to Info
    ui_.answerPages({PageResult::Next, PageResult::Next});
    ui_.answerPage({PageResult::Back, {"D:\\Typed"}});
    ui_.answerPages({PageResult::Next, PageResult::Next});
    ui_.answerPage({PageResult::Back, {"Bob", "Corp"}});
    ui_.answerPages({PageResult::Next, PageResult::Next});
    ui_.answerPage({PageResult::Back, {"1234"}});
    ui_.answerPages({PageResult::Next, PageResult::Next});
    ASSERT_TRUE(runWizard(*run_));
    ASSERT_EQ(ui_.pageKinds(),
              (std::vector<PageKind>{PageKind::Info, PageKind::Mode, PageKind::Info, PageKind::Mode,
                                     PageKind::GetDir, PageKind::Mode, PageKind::GetDir,
                                     PageKind::GetUser, PageKind::GetDir, PageKind::GetUser,
                                     PageKind::GetVal, PageKind::GetUser, PageKind::GetVal}));
    EXPECT_EQ(ui_.pages[1].chosen, 2);  // Custom, the preset
    EXPECT_EQ(ui_.pages[3].chosen, 1);
    EXPECT_EQ(ui_.pages[6].fields[0].text(), "D:\\Typed");
    EXPECT_EQ(ui_.pages[9].fields[0].text(), "Bob");
    EXPECT_EQ(ui_.pages[9].fields[1].text(), "Corp");
    // A prompt's page shows what the prompt rules give: the typed value was no answer.
    EXPECT_EQ(ui_.pages[12].fields[0].text(), "8080");
    // What came back was stored by Next as if typed again.
    EXPECT_EQ(session_->variables().value("App"), "D:\\Typed\\");
    EXPECT_EQ(session_->variables().value("User"), "Bob");
    EXPECT_EQ(session_->run().mode, SetupMode::Standard);
}

// The mode page offers each mode with its size; Full then installs every component.
TEST_F(RunWizardTest, TheChosenModeDecidesTheComponents) {
    sources();
    startRun("AskMode=1\n" + std::string(kProduct));
    ui_.answerPage({PageResult::Next, {}, 0});
    ASSERT_TRUE(wizardAndWork());
    ASSERT_EQ(ui_.pages.front().kind, PageKind::Mode);
    EXPECT_EQ(ui_.pages.front().choices[0].detail, "8 Bytes");
    EXPECT_EQ(ui_.pages.front().choices[1].detail, "4 Bytes");
    EXPECT_EQ(session_->run().mode, SetupMode::Full);
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\Docs\\d.txt")));
}

// A client run's directory page edits the client directory, which the work then keeps,
// while the application runs from the source.
TEST_F(RunWizardTest, AClientRunsDirectoryPageSetsTheClientDirectory) {
    startRun(std::string(kProduct) + "[Client]\nAskDir=1\n", [](RunState& run) {
        run.client = true;
        run.adminCopy = true;
    });
    ui_.answerPage({PageResult::Next, {"D:\\Client"}});
    ASSERT_TRUE(runWizard(*run_));
    ASSERT_EQ(ui_.pages.front().kind, PageKind::GetDir);
    EXPECT_EQ(ui_.pages.front().fields[0].text(), "C:\\Acme");  // [Client] ClientDir: App
    EXPECT_EQ(session_->variables().value("Client"), "D:\\Client\\");
    EXPECT_EQ(session_->variables().value("App"), "C:\\setup\\");
}

// The SHARED page's answer re-reads AskDir from [Client].
TEST_F(RunWizardTest, StartingFromTheServerAsksForTheClientDirectory) {
    startRun("AskShared=1\nAskDir=0\n" + std::string(kProduct) + "[Client]\nAskDir=1\n",
             [](RunState& run) { run.adminCopy = true; });
    ui_.answerPage({PageResult::Next, {}, 1});
    ASSERT_TRUE(runWizard(*run_));
    // An administrator copy asks for no user; the prompt is no client prompt, and a client
    // run without AskOptions installs everything.
    EXPECT_EQ(ui_.pageKinds(), (std::vector<PageKind>{PageKind::Shared, PageKind::GetDir}));
    EXPECT_TRUE(session_->run().client);
}

// Events 8 and 9 of the extension: without a module both fields stay editable.
TEST_F(RunWizardTest, TheUserPageTakesNameAndCompany) {
    startRun(kProduct);
    ui_.answerPage({PageResult::Next});
    ui_.answerPage({PageResult::Next, {"Bob", "Corp"}});
    ASSERT_TRUE(runWizard(*run_));
    const WizardPage& page = ui_.pages[1];
    ASSERT_EQ(page.kind, PageKind::GetUser);
    EXPECT_FALSE(page.fields[0].readOnly);
    EXPECT_FALSE(page.fields[1].readOnly);
    EXPECT_EQ(session_->variables().value("User"), "Bob");
    EXPECT_EQ(session_->variables().value("Company"), "Corp");
}

TEST(FinalDirectories, ClientAndCDRunsStartFromTheSource) {
    const auto directories = [](const std::function<void(RunState&)>& kind) {
        RunState run;
        kind(run);
        BuiltinVariables variables;
        variables.set("App", "C:\\Acme");
        variables.set("Src", "S:\\Src\\");
        setFinalDirectories(run, variables);
        return variables.value("App") + "|" + variables.value("Client");
    };
    EXPECT_EQ(directories([](RunState&) {}), "C:\\Acme\\|C:\\Acme\\");
    EXPECT_EQ(directories([](RunState& run) { run.client = true; }), "S:\\Src\\|C:\\Acme\\");
    EXPECT_EQ(directories([](RunState& run) { run.fromCD = true; }), "S:\\Src\\|C:\\Acme\\");
    EXPECT_EQ(directories([](RunState& run) {
                  run.client = true;
                  run.perUserPart = true;
              }),
              "C:\\Acme\\|C:\\Acme\\");
    EXPECT_EQ(directories([](RunState& run) {
                  run.workstation = true;
                  run.client = true;
              }),
              "S:\\Src\\|S:\\Src\\");
}

}  // namespace
}  // namespace kestrel::setup::test
