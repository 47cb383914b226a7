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
