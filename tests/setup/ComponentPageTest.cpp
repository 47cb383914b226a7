#include <gtest/gtest.h>

#include <sstream>

#include "ScriptedUi.h"
#include "SetupFixture.h"
#include "components/ComponentListReader.h"
#include "components/ComponentSizes.h"
#include "components/InitialSelection.h"
#include "components/OptionsStep.h"
#include "messages/MessageStrings.h"
#include "ui/ConsoleUi.h"
#include "wizard/Pages.h"

namespace kestrel::setup {
namespace {

const char* const kProduct =
    "[Options]\n"
    "Base=Base,DEFAULT,,The base\n"
    "Lang=Languages,DEFAULT,,\n"
    "Lang\\De=German,0,,\n"
    "Lang\\En=English,0,,\n"
    "Lang\\Fr=French,HIDDEN,,\n"
    "Tools=Tools,0,,\n"
    "Tools\\A=A,0,,\n"
    "Tools\\B=B,0,,\n"
    "[Copy]\n"
    "Core=Core,0,,\n"
    "[OptionGroups]\n"
    "1 = Lang\\*\n";

ComponentList product() {
    const ScriptText script = ScriptText::fromText(kProduct, "Setup.inf");
    BuiltinVariables variables;
    MemoryEnvironment environment;
    auto list =
        readComponentList(script, variables, Expander({&variables, &environment, nullptr, nullptr}),
                          {}, [](const ScriptProblem&) {});
    applyInitialSelection(*list, {});
    for (int i = 1; i < list->size(); ++i) (*list)[i].ownSize = 1024 * i;
    return std::move(*list);
}

std::vector<std::string> texts(const ComponentPage& page) {
    std::vector<std::string> result;
    for (const ComponentPage::Row& row : page.rows()) result.push_back(row.text);
    return result;
}

TEST(ComponentPage, ListsTheOfferedChildrenWithTheirPictures) {
    ComponentList list = product();
    ComponentPage page(list, {});
    EXPECT_EQ(texts(page), (std::vector<std::string>{"Base", "Languages", "Tools"}));
    const auto rows = page.rows();
    EXPECT_EQ(rows[0].picture.name, "Check1");
    EXPECT_EQ(rows[1].picture.name, "Check2");  // one language of two
    EXPECT_EQ(rows[2].picture.name, "Check0");
    EXPECT_TRUE(rows[1].hasDetails);
    EXPECT_FALSE(rows[0].hasDetails);

    EXPECT_EQ(checkPicture(CheckLook::Bulbs, false, CheckState::Partly, false).name, "BulbC");
    EXPECT_EQ(checkPicture(CheckLook::Bulbs, true, CheckState::Unchecked, true).name, "BulbMN");
    EXPECT_EQ(checkPicture(CheckLook::CheckBox, false, CheckState::Checked, false).name,
              "CheckBox");
    EXPECT_EQ(checkPicture(CheckLook::CheckMarks, false, CheckState::Checked, true).name, "Radio1");
}

TEST(ComponentPage, DescriptionAndCountFollowTheCurrentItem) {
    ComponentList list = product();
    ComponentPage page(list, {});
    EXPECT_EQ(page.description(), "The base");
    EXPECT_EQ(page.countText(), "");
    EXPECT_FALSE(page.detailsEnabled());
    page.setCurrent(1);
    EXPECT_EQ(page.countText(), "1 of 2 components selected");  // French is hidden
    EXPECT_TRUE(page.detailsEnabled());
    page.setCurrent(99);
    EXPECT_EQ(page.current(), 2);
}

TEST(ComponentPage, AKindOneMemberCannotBeSwitchedOffOnlyReplaced) {
    ComponentList list = product();
    ComponentPage page(list, {});
    page.setCurrent(1);
    ASSERT_TRUE(page.openDetails());
    EXPECT_EQ(texts(page), (std::vector<std::string>{"German", "English"}));
    EXPECT_EQ(page.rows()[0].picture.name, "Radio1");
    EXPECT_FALSE(page.toggle(0));
    EXPECT_TRUE(list[*list.find("Lang\\De")].selected);
    EXPECT_TRUE(page.toggle(1));
    EXPECT_FALSE(list[*list.find("Lang\\De")].selected);
    EXPECT_TRUE(list[*list.find("Lang\\En")].selected);
}

TEST(ComponentPage, DetailsCancelRestoresAndFinishKeepsAndMarksTheItem) {
    ComponentList list = product();
    ComponentPage page(list, {});
    const int tools = *list.find("Tools");
    page.setCurrent(2);
    ASSERT_TRUE(page.openDetails());
    EXPECT_EQ(page.shownParent(), tools);
    EXPECT_TRUE(page.toggle(1));
    page.cancelDetails();
    EXPECT_FALSE(page.inDetails());
    EXPECT_EQ(page.current(), 2);
    EXPECT_FALSE(list[*list.find("Tools\\B")].selected);

    ASSERT_TRUE(page.openDetails());
    EXPECT_TRUE(page.toggle(1));
    page.finishDetails();
    EXPECT_TRUE(list[*list.find("Tools\\B")].selected);
    EXPECT_TRUE(list[tools].selected);
    EXPECT_EQ(page.rows()[2].picture.state, CheckState::Partly);
}

TEST(ComponentPage, NeededSpaceFollowsTheSelection) {
    ComponentList list = product();
    ComponentPageSetup setup;
    setup.available = 3 * 1048576;
    setup.decimal = ",";
    ComponentPage page(list, setup);
    const std::string before = page.neededText();
    page.toggle(2);  // Tools with both children
    EXPECT_NE(page.neededText(), before);
    EXPECT_EQ(page.needed(), neededSize(list, SetupMode::Custom));
    EXPECT_EQ(page.availableText(), "3,0 MB  ");
}

class OptionsStepTest : public test::SetupFixture {
  protected:
    void SetUp() override {
        load("[Setup]\nVersion=5.10\n");
        pages_ = std::make_unique<PageHost>(session_->messages(), *machine_);
    }
    std::unique_ptr<PageHost> pages_;
};

TEST_F(OptionsStepTest, ThePageWorksOnTheComponentsAndFinishIsNext) {
    ComponentList list = product();
    RunState run;
    OptionsStep step(list, *pages_, run, {});
    ui_.answerPage({PageResult::Next, {}, std::nullopt, false, false, [](WizardPage& page) {
                        ASSERT_NE(page.components, nullptr);
                        page.components->toggle(0);
                    }});
    EXPECT_EQ(step(false), PageResult::Next);
    ASSERT_EQ(ui_.pageKinds(), std::vector<PageKind>{PageKind::Options});
    EXPECT_EQ(ui_.pages[0].nextLabel, "&Finish");
    EXPECT_FALSE(list[*list.find("Base")].selected);
}

TEST_F(OptionsStepTest, WithoutThePageTooLittleSpaceAsksAndOnlyIgnoreGoesOn) {
    ComponentList list = product();
    RunState run;
    run.silent = true;
    ComponentPageSetup setup;
    setup.directory = "C:\\Acme";
    setup.available = 10;
    OptionsStep step(list, *pages_, run, setup);
    EXPECT_FALSE(step.showsPage());
    ui_.answer({buttons::kIgnore, buttons::kCancel});
    EXPECT_EQ(step(false), std::nullopt);
    EXPECT_EQ(step(false), PageResult::Cancel);
    EXPECT_EQ(ui_.numbers(),
              (std::vector<int>{messages::kNotEnoughSpace, messages::kNotEnoughSpace}));
    run.uninstall = true;
    EXPECT_EQ(step(false), std::nullopt);

    const ComponentPageSetup real = componentPageSetup(session_->settings(), *machine_,
                                                       session_->strings(), {}, "C:\\Acme", false);
    EXPECT_GT(real.available, 10);
    EXPECT_EQ(real.countFormat, "%d of %d components selected");
}

struct ConsoleOptions {
    explicit ConsoleOptions(const std::string& typed)
        : list(product()), components(list, setup()), input(typed), console(out, &input) {}
    static ComponentPageSetup setup() {
        ComponentPageSetup setup;
        setup.directory = "C:\\Acme";
        setup.available = 3 * 1048576;
        return setup;
    }
    PageResult show(PageActions actions = {}) {
        WizardPage page = optionsPage({"Acme Setup", "", false}, components);
        return console.showPage(page, actions);
    }
    ComponentList list;
    ComponentPage components;
    std::istringstream input;
    std::ostringstream out;
    ConsoleUi console;
};

TEST(ComponentPageConsole, PrintsTheItemsWithTheirStatesAndTheFigures) {
    ConsoleOptions options("\n");
    EXPECT_EQ(options.show(), PageResult::Next);
    const std::string text = options.out.str();
    EXPECT_NE(text.find("  1 [x] Base\n        The base\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  2 [~] Languages\n        1 of 2 components selected (d2: Details)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  3 [ ] Tools\n"), std::string::npos);
    EXPECT_NE(text.find("  C:\\Acme\n  Disk memory needed: "), std::string::npos);
    EXPECT_NE(text.find("  Disk memory available: 3.0 MB"), std::string::npos) << text;
    EXPECT_NE(text.find("Answer (1-3 switches on or off, d and a number: Details, f, c; Enter: "
                        "Finish): "),
              std::string::npos)
        << text;
}

TEST(ComponentPageConsole, NumbersSwitchItemsAndTheNeededSpaceFollows) {
    ConsoleOptions options("3\n1\n\n");
    const std::int64_t before = options.components.needed();
    EXPECT_EQ(options.show(), PageResult::Next);
    EXPECT_TRUE(options.list[*options.list.find("Tools")].selected);
    EXPECT_FALSE(options.list[*options.list.find("Base")].selected);
    EXPECT_NE(options.components.needed(), before);
    const std::string text = options.out.str();
    EXPECT_NE(text.find("  3 [x] Tools\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  1 [ ] Base\n"), std::string::npos) << text;
}

TEST(ComponentPageConsole, DetailsShowTheChildrenAndTheGroupKeepsOneLanguage) {
    // Into Languages: German is the one chosen and stays so; English instead; Cancel there
    // puts German back. Then Details again, English, Finish keeps it.
    ConsoleOptions options("d2\n1\n2\nc\nd2\n2\n\n\n");
    EXPECT_EQ(options.show(), PageResult::Next);
    EXPECT_FALSE(options.list[*options.list.find("Lang\\De")].selected);
    EXPECT_TRUE(options.list[*options.list.find("Lang\\En")].selected);
    const std::string text = options.out.str();
    EXPECT_NE(text.find("Details of Languages:\n  1 (*) German\n  2 ( ) English\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("German stays selected: one of its group must be"), std::string::npos);
    EXPECT_NE(text.find("  1 ( ) German\n  2 (*) English\n"), std::string::npos) << text;
    // No Back inside Details: the level is left with Finish or Cancel.
    EXPECT_NE(text.find("Answer (1-2 switches on or off, f, c; Enter: Finish): "),
              std::string::npos)
        << text;
}

TEST(ComponentPageConsole, CancelOnTheTopLevelIsConfirmed) {
    ConsoleOptions options("c\n");
    bool asked = false;
    PageActions actions;
    actions.confirmCancel = [&asked] { return asked = true; };
    EXPECT_EQ(options.show(actions), PageResult::Cancel);
    EXPECT_TRUE(asked);
}

}  // namespace
}  // namespace kestrel::setup
