#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>

#include "SetupFixture.h"
#include "wizard/PageConditions.h"
#include "wizard/PageHost.h"
#include "wizard/PromptAsker.h"
#include "wizard/WizardSequence.h"

namespace kestrel::setup {
namespace {

// Steps that answer from a queue and record each visit as "name" (a page shown) or "-name"
// (passed), with "<" when Back was enabled on it.
class Steps {
  public:
    WizardStep page(std::string name) {
        return [this, name](Travel, bool backEnabled) -> std::optional<PageResult> {
            visits.push_back(name + (backEnabled ? "<" : ""));
            if (answers.empty()) return PageResult::Next;
            const PageResult result = answers.front();
            answers.pop_front();
            return result;
        };
    }
    // A page whose condition holds only while `holds` says so.
    WizardStep conditional(std::string name, const bool& holds) {
        WizardStep shown = page(name);
        return [this, name, shown, &holds](Travel travel,
                                           bool backEnabled) -> std::optional<PageResult> {
            if (holds) return shown(travel, backEnabled);
            visits.push_back("-" + name);
            return std::nullopt;
        };
    }

    std::deque<PageResult> answers;
    std::vector<std::string> visits;
};

using R = PageResult;
using Visits = std::vector<std::string>;

TEST(WizardSequence, ForwardThroughTheSlotsInOrder) {
    Steps steps;
    WizardSequence wizard;
    wizard.setStep(WizardSequence::kUser, steps.page("user"));
    wizard.setStep(WizardSequence::kLicence, steps.page("licence"));
    wizard.setStep(WizardSequence::kOptions, steps.page("options"));
    EXPECT_EQ(wizard.run(), R::Next);
    EXPECT_EQ(steps.visits, (Visits{"licence", "user<", "options<"}));
}

TEST(WizardSequence, BackPassesPagesWhoseConditionDoesNotHold) {
    Steps steps;
    bool fromCD = false;
    WizardSequence wizard;
    wizard.setStep(WizardSequence::kInfo, steps.page("info"));
    wizard.setStep(WizardSequence::kFromCD, steps.conditional("fromcd", fromCD));
    wizard.setStep(WizardSequence::kMode, steps.page("mode"));
    steps.answers = {R::Next, R::Back, R::Next, R::Next};
    EXPECT_EQ(wizard.run(), R::Next);
    // Back on the first shown page is not enabled; going back to it disables it again.
    EXPECT_EQ(steps.visits,
              (Visits{"info", "-fromcd", "mode<", "-fromcd", "info", "-fromcd", "mode<"}));
}

TEST(WizardSequence, AConditionThatChangesIsSeenOnTheWayBack) {
    Steps steps;
    bool shared = false;
    WizardSequence wizard;
    wizard.setStep(WizardSequence::kInfo, steps.page("info"));
    wizard.setStep(WizardSequence::kShared, steps.conditional("shared", shared));
    const WizardStep dir = steps.page("dir");
    wizard.setStep(WizardSequence::kAppDir, [&](Travel travel, bool back) {
        shared = true;  // as an answer could make it
        return dir(travel, back);
    });
    steps.answers = {R::Next, R::Back, R::Next, R::Next};
    EXPECT_EQ(wizard.run(), R::Next);
    EXPECT_EQ(steps.visits, (Visits{"info", "-shared", "dir<", "shared<", "dir<"}));
}

TEST(WizardSequence, ThePromptGroupIsEnteredFromBehindAtItsLastPrompt) {
    Steps steps;
    WizardSequence wizard;
    wizard.setStep(WizardSequence::kUser, steps.page("user"));
    wizard.setPrompts({steps.page("p1"), steps.page("p2"), steps.page("p3")});
    wizard.setStep(WizardSequence::kOptions, steps.page("options"));
    steps.answers = {R::Next, R::Next, R::Next, R::Next, R::Back, R::Back, R::Back,
                     R::Back, R::Next, R::Next, R::Next, R::Next, R::Next};
    EXPECT_EQ(wizard.run(), R::Next);
    EXPECT_EQ(steps.visits, (Visits{"user", "p1<", "p2<", "p3<", "options<", "p3<", "p2<", "p1<",
                                    "user", "p1<", "p2<", "p3<", "options<"}));
}

TEST(WizardSequence, CancelEndsTheWizardAndNoPagesIsNext) {
    Steps steps;
    WizardSequence wizard;
    wizard.setStep(WizardSequence::kInfo, steps.page("info"));
    wizard.setStep(WizardSequence::kMode, steps.page("mode"));
    steps.answers = {R::Next, R::Cancel};
    EXPECT_EQ(wizard.run(), R::Cancel);
    EXPECT_EQ(steps.visits, (Visits{"info", "mode<"}));
    EXPECT_EQ(WizardSequence().run(), R::Next);
}

// The real pages and prompts: Back from the first prompt leaves the group, and the answers
// come back when the person returns.
class PromptGroupTest : public test::SetupFixture {};

TEST_F(PromptGroupTest, BackAndForthThroughRealPromptPages) {
    load(
        "[Setup]\nVersion=5.1\n[Application]\nProductName=Acme\nSetupName=Acme\n"
        "[Prompts]\nA=First,a,A:\nB=Second,,B:,0,USEDEFAULT,b-fallback\nM=Machine,m,M:,0,"
        "MACHINE\n");
    PageHost host(session_->messages(), *machine_);
    const Expander expander = session_->expander();
    PromptAnswers answers;
    PromptAsker asker(session_->script(), expander, environment_, session_->registry(), host,
                      answers);
    WizardSequence wizard;
    wizard.setStep(WizardSequence::kInfo, [&](Travel, bool back) -> std::optional<PageResult> {
        WizardPage page = infoPage(host.frame(), "Welcome");
        return host.show(page, back);
    });
    std::vector<WizardStep> prompts;
    for (const char* name : {"A", "M", "B"}) {
        prompts.push_back([&asker, name](Travel, bool back) { return asker.ask(name, back); });
    }
    wizard.setPrompts(std::move(prompts));

    ui_.answerPage({R::Next});             // info
    ui_.answerPage({R::Next, {"a1"}});     // A
    ui_.answerPage({R::Back, {"typed"}});  // B: back, what was typed is not taken
    ui_.answerPage({R::Back});             // A
    ui_.answerPage({R::Next});             // info
    ui_.answerPage({R::Next});             // A again
    ui_.answerPage({R::Next});             // B
    EXPECT_EQ(wizard.run(), R::Next);

    EXPECT_EQ(
        ui_.pageKinds(),
        (std::vector<PageKind>{PageKind::Info, PageKind::GetVal, PageKind::GetVal, PageKind::GetVal,
                               PageKind::Info, PageKind::GetVal, PageKind::GetVal}));
    EXPECT_FALSE(ui_.pages[0].backEnabled);
    EXPECT_TRUE(ui_.pages[1].backEnabled);
    EXPECT_EQ(ui_.pages[2].fields[0].text(), "b-fallback");
    EXPECT_EQ(ui_.pages[5].fields[0].text(), "a1");  // the answer, not the default
    EXPECT_EQ(ui_.pages[6].fields[0].text(), "b-fallback");
    EXPECT_EQ(environment_.get("A"), "a1");
    EXPECT_EQ(environment_.get("B"), "b-fallback");
    EXPECT_TRUE(answers.find("B")->fromFallback);
    EXPECT_EQ(answers.find("M"), nullptr);
}

}  // namespace
}  // namespace kestrel::setup

namespace kestrel::setup {
namespace {

class PageConditionsTest : public ::testing::Test {
  protected:
    bool applies(WizardSequence::Slot slot) { return pageApplies(slot, facts_); }

    RunState run_;
    ApplicationSettings settings_;
    WizardFacts facts_{run_, settings_};
};

TEST_F(PageConditionsTest, AskSettingsShowPagesThatQuietAndRegisteredRunsSkip) {
    settings_.askLicence = settings_.askInfo = settings_.askUser = true;
    EXPECT_TRUE(applies(WizardSequence::kLicence));
    EXPECT_TRUE(applies(WizardSequence::kUser));
    run_.repeat = true;
    EXPECT_FALSE(applies(WizardSequence::kInfo));
    run_.repeat = false;
    run_.silent = true;
    EXPECT_FALSE(applies(WizardSequence::kLicence));
    run_.silent = false;
    run_.adminCopy = true;
    EXPECT_FALSE(applies(WizardSequence::kUser));
    EXPECT_TRUE(applies(WizardSequence::kLicence));
    settings_.askLicence = false;
    EXPECT_FALSE(applies(WizardSequence::kLicence));
}

TEST_F(PageConditionsTest, FromCdStaysOfferedAfterItsOwnAnswerButNotAfterTheSwitch) {
    settings_.askFromCD = true;
    run_.fromCD = true;  // chosen on the page: going back shows it again
    EXPECT_TRUE(applies(WizardSequence::kFromCD));
    facts_.fromCDSwitch = true;
    EXPECT_FALSE(applies(WizardSequence::kFromCD));
}

TEST_F(PageConditionsTest, SharedOnlyForAnAdministratorCopyWithoutC) {
    EXPECT_FALSE(applies(WizardSequence::kShared));
    run_.adminCopy = true;
    EXPECT_TRUE(applies(WizardSequence::kShared));  // AskShared is on by default
    facts_.clientSwitch = true;
    EXPECT_FALSE(applies(WizardSequence::kShared));
}

TEST_F(PageConditionsTest, ModeAndOptionsFollowTheRunsKind) {
    settings_.askMode = settings_.askDataDir = true;
    EXPECT_TRUE(applies(WizardSequence::kMode));
    EXPECT_TRUE(applies(WizardSequence::kOptions));  // Custom, no /O
    run_.workstation = true;
    EXPECT_FALSE(applies(WizardSequence::kMode));
    EXPECT_FALSE(applies(WizardSequence::kDataDir));
    EXPECT_EQ(modeWithoutPage(facts_), SetupMode::Full);
    facts_.askOptions = true;
    EXPECT_EQ(modeWithoutPage(facts_), SetupMode::Custom);
    run_.options = "+Base";
    EXPECT_FALSE(applies(WizardSequence::kOptions));

    EXPECT_EQ(applicationDirectoryVariable(run_), "App");
    run_.workstation = false;
    run_.fromCD = true;
    EXPECT_EQ(applicationDirectoryVariable(run_), "Client");
}

}  // namespace
}  // namespace kestrel::setup
