// The console front end: questions answered at a terminal, silent runs that ask nobody, and
// runs that cannot get an answer ending instead of waiting.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "SetupFixture.h"
#include "messages/MessageEngine.h"
#include "messages/MessageStrings.h"
#include "platform/RestartOperations.h"
#include "program/RunEnd.h"
#include "ui/ConsoleUi.h"
#include "wizard/PageHost.h"
#include "wizard/Pages.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct Console {
    explicit Console(const std::string& typed, bool terminal = true, bool unattended = false)
        : input(typed), ui(out, terminal ? &input : nullptr, unattended), engine(ui, strings) {
        engine.setHelpFile("/nowhere/Setup.html");  // Help buttons shown
    }
    std::istringstream input;
    std::ostringstream out;
    ConsoleUi ui;
    StringTable strings;
    MessageEngine engine;
};

const TextRequest kPortName{"Local Port", "Enter a port name:", ""};

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

TEST(ConsoleText, ThePersonTypesTheTextTakesThePresetOrCancels) {
    Console console("  LPT7: \n\n\n");
    EXPECT_EQ(console.ui.askText(kPortName), "LPT7:");
    EXPECT_EQ(console.ui.askText({"Local Port", "Enter a port name:", "FILE:"}), "FILE:");
    EXPECT_EQ(console.ui.askText(kPortName), std::nullopt);  // Enter alone, nothing preset
    EXPECT_THAT(console.out.str(),
                HasSubstr("Local Port: Enter a port name:\nText (Enter alone: Cancel): "));
    EXPECT_THAT(console.out.str(), HasSubstr("Text (Enter alone: FILE:): "));
}

TEST(ConsoleText, NobodyToAnswerCancelsWithoutWaiting) {
    Console silent("LPT7:\n", true, true);
    EXPECT_EQ(silent.ui.askText(kPortName), std::nullopt);
    EXPECT_EQ(silent.input.tellg(), 0);  // a silent run never reads
    EXPECT_THAT(silent.out.str(), Not(HasSubstr("cannot wait")));
    for (const bool terminal : {false, true}) {  // none, or its input has ended
        Console console("", terminal);
        EXPECT_EQ(console.ui.askText(kPortName), std::nullopt);
        EXPECT_EQ(console.ui.askText(kPortName), std::nullopt);
        EXPECT_EQ(count(console.out.str(), "Setup cannot wait for an answer"), 1U);
    }
}

TEST(ConsoleQuestions, ThePersonTypesTheLetterOrNumberOrTakesTheDefault) {
    Console console("n\n2\n\n  Y \n");
    EXPECT_EQ(console.engine.show(messages::kEarlierVersionFound, {"1.0"}), buttons::kNo);
    EXPECT_EQ(console.engine.show(messages::kEarlierVersionFound, {"1.0"}), buttons::kNo);
    EXPECT_EQ(console.engine.show(messages::kReallyAbort), buttons::kNo);  // No is its default
    EXPECT_EQ(console.engine.show(messages::kReallyAbort), buttons::kYes);
    EXPECT_FALSE(console.engine.unanswered());
    EXPECT_THAT(console.out.str(),
                HasSubstr("Setup: Do you really want to abort the installation?\n"
                          "  [Yes]  [No]  [Help]\nAnswer (y, n, h or 1-3, Enter: No): "));
}

TEST(ConsoleQuestions, UnknownAnswersAskAgainAndHelpOpensTheHelp) {
    Console console("x\n42\nh\ni\n");
    EXPECT_EQ(console.engine.show(messages::kNotEnoughSpace, {"C:\\"}), buttons::kIgnore);
    const std::string out = console.out.str();
    EXPECT_THAT(out, HasSubstr("Help: /nowhere/Setup.html#5566\n"));
    std::size_t prompts = 0;
    for (std::size_t at = out.find("Answer ("); at != std::string::npos;
         at = out.find("Answer (", at + 1))
        ++prompts;
    EXPECT_EQ(prompts, 4U);
}

TEST(ConsoleQuestions, BoxesThatOnlyTellAreNotQuestions) {
    Console console("", false);
    console.engine.show(messages::kCannotOpenFile, {"a.inf"});
    console.engine.note("Done.");
    EXPECT_FALSE(console.engine.unanswered());
    EXPECT_EQ(
        console.out.str(),
        "Setup: Cannot open file 'a.inf'!\n  [OK]  [Help] -> OK\nSetup: Done.\n  [OK] -> OK\n");
}

TEST(ConsoleQuestions, ASilentRunNeverReadsAnAnswer) {
    Console console("n\n", true, true);
    EXPECT_EQ(console.engine.show(messages::kEarlierVersionFound, {"1.0"}), buttons::kYes);
    EXPECT_EQ(console.input.tellg(), 0);
    EXPECT_THAT(console.out.str(), Not(HasSubstr("Answer")));
}

TEST(ConsoleQuestions, WithoutATerminalAQuestionIsRefusedOnceSaidAndTheRunEnds) {
    for (const bool terminal : {false, true}) {  // none, or its input has ended
        Console console("", terminal);
        EXPECT_EQ(console.engine.show(messages::kNotEnoughSpace, {"C:\\"}), buttons::kCancel);
        EXPECT_EQ(console.engine.show(messages::kEarlierVersionFound, {"1.0"}), buttons::kNo);
        EXPECT_TRUE(console.engine.unanswered());
        const std::string out = console.out.str();
        EXPECT_THAT(out, HasSubstr("Setup cannot wait for an answer: "));
        EXPECT_EQ(out.find("cannot wait"), out.rfind("cannot wait")) << out;

        // The pages end, and the work stops without asking whether it should.
        WizardPage page;
        page.title = "Licence";
        EXPECT_EQ(console.ui.showPage(page, {}), PageResult::Cancel);
        RunState run;
        ProgressWindow progress(console.engine, run);
        EXPECT_TRUE(progress.poll());
        EXPECT_TRUE(run.abort);
    }
}

// Pages at the terminal: choices by number, fields with their presets, the buttons by
// letter, the page's own rules.
const PageFrame kFrame{"Acme Setup", "", false};

TEST(ConsolePages, AChoiceIsPickedByNumberAndEnterKeepsThePreset) {
    Console console("3\n\n");
    WizardPage mode = modePage(kFrame, SetupMode::Standard, {"1 MB", "2 MB", "3 MB"});
    EXPECT_EQ(console.ui.showPage(mode, {}), PageResult::Next);
    EXPECT_EQ(chosenMode(mode), SetupMode::Custom);
    EXPECT_THAT(console.out.str(), HasSubstr("  2 (*) Standard  2 MB\n  3 ( ) Custom  3 MB\n"));
    EXPECT_THAT(console.out.str(), HasSubstr("  [Next >]  [Cancel]\nAnswer (1-3 chooses and goes "
                                             "on, n, c; Enter: Next >): "));
    EXPECT_EQ(console.ui.showPage(mode, {}), PageResult::Next);
    EXPECT_EQ(chosenMode(mode), SetupMode::Custom);
}

TEST(ConsolePages, ButtonPagesNumberOnlyTheButtonsShownAndHaveNoDefault) {
    Console console("\n4\n3\n");
    WizardPage page = instSamePage(kFrame, false);
    EXPECT_EQ(console.ui.showPage(page, {}), PageResult::Next);
    EXPECT_EQ(chosenInstSame(page), InstSameChoice::New);
    const std::string out = console.out.str();
    EXPECT_THAT(out, Not(HasSubstr("Uninstall")));
    EXPECT_EQ(count(out, "That is none of the answers offered."), 1U);
    EXPECT_EQ(count(out, "There is no choice 4."), 1U);
}

TEST(ConsolePages, BackOnlyWhereAnEarlierPageWasShown) {
    Console console("b\nb\n");
    WizardPage info = infoPage(kFrame, "Read me.");
    EXPECT_EQ(console.ui.showPage(info, {}), PageResult::Cancel);  // no answer left
    EXPECT_THAT(console.out.str(), HasSubstr("That is none of the answers offered."));
    Console again("b\n");
    info.backEnabled = true;
    EXPECT_EQ(again.ui.showPage(info, {}), PageResult::Back);
    EXPECT_THAT(again.out.str(), HasSubstr("  [< Back]  [Next >]  [Cancel]\n"));
}

TEST(ConsolePages, FieldsOfferWhatTheyHoldAndKeepTheirRules) {
    // Each page: its field, then its buttons.
    Console console("\n\n  D:\\Tools  \n\n" + std::string(300, 'x') + "\n\n");
    WizardPage dir = directoryPage(kFrame, PageKind::GetDir, "Where to?", "C:\\Acme");
    EXPECT_EQ(console.ui.showPage(dir, {}), PageResult::Next);
    EXPECT_EQ(dir.fields[0].text(), "C:\\Acme");
    EXPECT_EQ(console.ui.showPage(dir, {}), PageResult::Next);
    EXPECT_EQ(dir.fields[0].text(), "D:\\Tools");  // the blanks around it were slips
    EXPECT_EQ(console.ui.showPage(dir, {}), PageResult::Next);
    EXPECT_EQ(dir.fields[0].text(), std::string(255, 'x'));
    const std::string out = console.out.str();
    EXPECT_THAT(out, HasSubstr("Where to?\n  Directory [C:\\Acme]: "));
    EXPECT_THAT(out, HasSubstr("At most 255 characters fit here: the rest was left out."));

    Console digits("12ab\n 42\n\n");
    WizardPage port = framedPage(kFrame, PageKind::GetVal);
    port.fields.emplace_back("&Port:", 5);
    port.fields[0].digitsOnly = true;
    EXPECT_EQ(digits.ui.showPage(port, {}), PageResult::Next);
    EXPECT_EQ(port.fields[0].text(), "42");
    EXPECT_THAT(digits.out.str(),
                HasSubstr("  Port:   Only digits can be entered here.\n  Port: "));
}

TEST(ConsolePages, ARequiredFieldLeftEmptyIsSaidAndThePageAskedAgain) {
    Console console("\n\n\nAda\n \n\n");
    WizardPage user = userPage(kFrame, {"", "Acme Corp"});
    EXPECT_EQ(console.ui.showPage(user, {}), PageResult::Next);
    EXPECT_EQ(user.fields[0].text(), "Ada");
    EXPECT_EQ(user.fields[1].text(), "");  // a blank empties the company
    const std::string out = console.out.str();
    EXPECT_EQ(count(out, "  Name must not be empty.\n"), 1U);
    EXPECT_EQ(count(out, "\nAcme Setup\n"), 2U);
    EXPECT_THAT(out, HasSubstr("  Company [Acme Corp] (a blank empties it): "));

    // A field the extension made read-only is shown, not asked.
    Console fixed("\n");
    WizardPage locked = userPage(kFrame, {"Ada", "", false, true, false});
    EXPECT_EQ(fixed.ui.showPage(locked, {}), PageResult::Next);
    EXPECT_THAT(fixed.out.str(), HasSubstr("  Name: Ada\n  [Next >]"));
}

TEST(ConsolePages, APasswordIsNeitherShownNorEchoed) {
    Console console("s3cret\n\n");
    std::vector<bool> echo;
    console.ui.setEchoControl([&echo](bool on) { echo.push_back(on); });
    WizardPage page = framedPage(kFrame, PageKind::GetVal);
    page.fields.emplace_back("Password", 20);
    page.fields[0].password = true;
    page.fields[0].setText("old");
    EXPECT_EQ(console.ui.showPage(page, {}), PageResult::Next);
    EXPECT_EQ(page.fields[0].text(), "s3cret");
    EXPECT_EQ(echo, (std::vector<bool>{false, true}));  // off while typing, on again after
    EXPECT_THAT(console.out.str(), HasSubstr("  Password [***]: \n"));
    EXPECT_THAT(console.out.str(), Not(HasSubstr("old")));
    EXPECT_THAT(console.out.str(), Not(HasSubstr("s3cret")));
}

TEST(ConsolePages, CancelAsksTheConfirmationAndHelpOpensTheHelp) {
    Console console("\nc\nh\nc\n");
    int asked = 0;
    int helped = 0;
    PageActions actions;
    actions.confirmCancel = [&asked] { return ++asked == 2; };
    actions.help = [&helped] { ++helped; };
    WizardPage page = directoryPage(kFrame, PageKind::GetDir, "Where to?", "C:\\Acme");
    page.helpVisible = true;
    EXPECT_EQ(console.ui.showPage(page, actions), PageResult::Cancel);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(helped, 1);
}

class ConsolePageHost : public test::SetupFixture {};

TEST_F(ConsolePageHost, CancelIsConfirmedWithTheSameMessageAsInTheWindow) {
    Console host("c\nn\nc\ny\n");
    PageHost pages(host.engine, *machine_);
    WizardPage info = infoPage(kFrame, "Read me.");
    EXPECT_EQ(pages.show(info, false), PageResult::Cancel);
    EXPECT_EQ(count(host.out.str(), "Do you really want to abort the installation?"), 2U);
}

TEST(ConsolePages, TheLicenceIsAnsweredWithYesOrNo) {
    Console console("n\ny\n");
    WizardPage licence = licencePage(kFrame, "Terms.");
    PageActions actions;
    actions.confirmCancel = [] { return true; };
    EXPECT_EQ(console.ui.showPage(licence, actions), PageResult::Cancel);
    EXPECT_EQ(console.ui.showPage(licence, actions), PageResult::Next);
    EXPECT_THAT(console.out.str(),
                HasSubstr("Do you accept all the terms of this licence agreement?\n"
                          "  [Yes]  [No]\nAnswer (y, n; Enter: Yes): "));
}

TEST(ConsolePages, InputEndingOnAPageEndsItAndEveryPageAfter) {
    Console console("D:\\Tools\n");
    WizardPage dir = directoryPage(kFrame, PageKind::GetDir, "Where to?", "C:\\Acme");
    EXPECT_EQ(console.ui.showPage(dir, {}), PageResult::Cancel);
    WizardPage info = infoPage(kFrame, "Read me.");
    EXPECT_EQ(console.ui.showPage(info, {}), PageResult::Cancel);
    EXPECT_EQ(console.engine.show(messages::kReallyAbort), buttons::kNo);
    EXPECT_TRUE(console.engine.unanswered());
    EXPECT_EQ(count(console.out.str(),
                    "Setup cannot wait for an answer: the terminal's "
                    "input has ended."),
              1U);
    EXPECT_THAT(console.out.str(), Not(HasSubstr("Read me.")));
}

TEST(ConsolePages, AnUnattendedRunShowsNoPageAndEndsWhereAValueIsMissing) {
    Console console("typed\n", true, true);
    WizardPage dir = directoryPage(kFrame, PageKind::GetDir, "Where to?", "C:\\Acme");
    EXPECT_EQ(console.ui.showPage(dir, {}), PageResult::Next);
    EXPECT_EQ(console.out.str(), "");
    WizardPage station = framedPage(kFrame, PageKind::GetVal);
    station.fields.emplace_back("Station:", 40);
    EXPECT_EQ(console.ui.showPage(station, {}), PageResult::Cancel);
    EXPECT_EQ(console.input.tellg(), 0);
    EXPECT_EQ(console.out.str(),
              "Setup cannot wait for an answer: the installation runs unattended (/S) and "
              "'Station' has no value. The installation ends here; start it without /S to "
              "answer it.\n");
}

class ConsoleRunEnd : public test::SetupFixture {};

TEST_F(ConsoleRunEnd, ARestartNobodyCanConfirmIsNotMadeAndTheRunFails) {
    std::ostringstream out;
    ConsoleUi console(out);
    root_ = std::make_unique<LazyMachineRoot>(*machine_);
    SetupSession session(console, *root_, environment_, dir_ / "program", 1700000000);
    session.useScript(ScriptText::fromText("[Setup]\nVersion=5.1\n", "C:\\setup\\Setup.inf"),
                      "C:\\setup\\Setup.inf");
    ASSERT_TRUE(session.readSettings());
    kestrel::test::writeFile(dir_ / "prefix/drive_c/pending.txt", "old");
    ASSERT_TRUE(platform::scheduleAtRestart(*machine_, "C:\\pending.txt", std::nullopt));
    SetupRun run(session);
    session.run().restartComputer = true;
    EXPECT_EQ(endRun(run), -1);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "prefix/drive_c/pending.txt"));
    EXPECT_THAT(out.str(), HasSubstr("Setup cannot wait for an answer"));
}

}  // namespace
}  // namespace kestrel::setup
