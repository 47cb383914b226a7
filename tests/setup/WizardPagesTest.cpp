#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "SetupFixture.h"
#include "messages/MessageEngine.h"
#include "ui/CodePageUi.h"
#include "ui/ConsoleUi.h"
#include "wizard/FolderBrowse.h"
#include "wizard/PageHost.h"
#include "wizard/Pages.h"

namespace kestrel::setup {
namespace {

using test::SetupFixture;

TEST(EditField, KeepsItsLimitAndRulesWhateverSetsIt) {
    EditField field("Name", 5);
    field.setText("abcdefgh");
    EXPECT_EQ(field.text(), "abcde");

    field.letterCase = LetterCase::Upper;
    field.setText("ab\xe4z");  // bytes past ASCII stay as they are
    EXPECT_EQ(field.text(), "AB\xe4Z");
    field.letterCase = LetterCase::Lower;
    field.setText("MiXeD");
    EXPECT_EQ(field.text(), "mixed");

    field.digitsOnly = true;
    field.setText("1a2-3 45678");
    EXPECT_EQ(field.text(), "12345");
}

TEST(EditField, CountsCharactersOfUtf8TextAndNeverCutsOne) {
    EditField field("Name", 3);
    field.utf8 = true;
    field.setText("\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f");  // four umlauts, two bytes each
    EXPECT_EQ(field.text(), "\xc3\xa4\xc3\xb6\xc3\xbc");
    field.digitsOnly = true;
    field.setText(
        "1\xc3\xa4"
        "2");
    EXPECT_EQ(field.text(), "12");
}

TEST(PageButtons, NextNeedsTheRequiredFieldsAndBackAnEarlierPage) {
    WizardPage page = userPage({}, {"", "Acme"});
    EXPECT_FALSE(page.nextEnabled());
    page.fields[0].setText("Ann");
    EXPECT_TRUE(page.nextEnabled());
    page.fields[1].setText("");  // the company is not needed
    EXPECT_TRUE(page.nextEnabled());

    EXPECT_FALSE(page.accepts(PageResult::Back));
    page.backEnabled = true;
    EXPECT_TRUE(page.accepts(PageResult::Back));
    EXPECT_FALSE(page.accepts(PageResult::Skip));
    EXPECT_TRUE(page.accepts(PageResult::Cancel));
}

TEST(PageButtons, ButtonPagesEndOnlyWithAVisibleChoice) {
    WizardPage page = instSamePage({}, false);
    EXPECT_FALSE(page.nextVisible);
    EXPECT_FALSE(page.backVisible);
    page.chosen = 3;  // Uninstall, hidden
    EXPECT_FALSE(page.accepts(PageResult::Next));
    page.chosen = 1;
    EXPECT_TRUE(page.accepts(PageResult::Next));
    EXPECT_EQ(chosenInstSame(page), InstSameChoice::Repeat);
    page.chosen = 7;
    EXPECT_FALSE(page.accepts(PageResult::Next));
    EXPECT_TRUE(instSamePage({}, true).choices[3].visible);
}

TEST(Pages, UserPageCutsDefaultsToFiftyAndHidesTheCompany) {
    UserPageSetup setup;
    setup.user = std::string(80, 'u');
    setup.company = std::string(80, 'c');
    setup.useCompany = false;
    setup.companyReadOnly = true;
    const WizardPage page = userPage({"Acme Setup", "", true}, setup);
    EXPECT_EQ(page.title, "Acme Setup");
    EXPECT_TRUE(page.helpVisible);
    ASSERT_EQ(page.fields.size(), 2u);
    EXPECT_EQ(page.fields[0].text(), std::string(50, 'u'));
    EXPECT_EQ(page.fields[1].text(), std::string(50, 'c'));
    EXPECT_FALSE(page.fields[1].visible);
    EXPECT_TRUE(page.fields[1].readOnly);
    EXPECT_FALSE(page.fields[0].readOnly);
}

// The pages whose texts the installer has none for say, in one line, what they ask about
// which product.
TEST(Pages, ExplainingPagesNameTheProduct) {
    const PageFrame frame{"Beacon Setup", "", false, "Beacon Monitor 2.4"};
    EXPECT_EQ(modePage(frame, SetupMode::Full, {"1 MB", "1 MB", "1 MB"}).text,
              "Choose how Setup installs Beacon Monitor 2.4: Full installation with all "
              "components, Standard with the usual ones, Custom with those you choose.");
    UserPageSetup setup;
    EXPECT_EQ(userPage(frame, setup).text,
              "Enter your name and the name of your company, under which Setup registers "
              "Beacon Monitor 2.4.");
    setup.useCompany = false;
    EXPECT_EQ(userPage(frame, setup).text,
              "Enter your name, under which Setup registers Beacon Monitor 2.4.");
    const std::string same = instSamePage(frame, false).text;
    EXPECT_TRUE(same.starts_with("Beacon Monitor 2.4 is installed")) << same;
    EXPECT_EQ(same.find(", or remove it."), std::string::npos) << "no Uninstall button, no word";
    EXPECT_NE(instSamePage(frame, true).text.find(", or remove it."), std::string::npos);
    EXPECT_NE(instSamePage({}, true).text.find("the application is installed"), std::string::npos);
}

TEST(Pages, DirectoryPagesCutTo255AndCompleteABareDrive) {
    WizardPage page = directoryPage({}, PageKind::GetDir, "text", std::string(300, 'd'));
    EXPECT_EQ(page.fields[0].text().size(), 255u);
    EXPECT_TRUE(page.fields[0].browse);
    page.fields[0].setText("d:");
    EXPECT_EQ(chosenDirectory(page), "d:\\");
    page.fields[0].setText("D:\\Apps");
    EXPECT_EQ(chosenDirectory(page), "D:\\Apps");
}

TEST(Pages, DiskPageHasOkSkipAndTheBeepButNoBack) {
    const WizardPage page = diskPage({}, "Please insert", "Disk 2", "A:\\");
    EXPECT_EQ(page.nextLabel, "OK");
    EXPECT_FALSE(page.backVisible);
    EXPECT_TRUE(page.skipVisible);
    EXPECT_TRUE(page.beep);
    EXPECT_TRUE(page.accepts(PageResult::Skip));
    EXPECT_EQ(page.question, "Disk 2");
}

TEST(Pages, ChoicePagesStartFromTheCurrentState) {
    EXPECT_EQ(fromCdPage({}, true).chosen, 1);
    EXPECT_EQ(sharedPage({}, false).chosen, 0);
    WizardPage mode = modePage({}, SetupMode::Standard, {"12 MB", "8 MB", "3 MB"});
    EXPECT_EQ(mode.chosen, 1);
    EXPECT_EQ(mode.choices[2].detail, "3 MB");
    mode.chosen = 2;
    EXPECT_EQ(chosenMode(mode), SetupMode::Custom);
    const WizardPage admin = adminPage({});
    EXPECT_TRUE(admin.choiceEndsPage);
    EXPECT_EQ(admin.choices[0].text, "File server");
}

class PageHostTest : public SetupFixture {
  protected:
    PageHostTest() : messages_(ui_, strings_), host_(messages_, *machine_) {}

    StringTable strings_;
    MessageEngine messages_;
    PageHost host_;
};

TEST_F(PageHostTest, CancelAsksFirstAndNoKeepsThePage) {
    WizardPage page = infoPage(host_.frame(), "Read me");
    ui_.answerPage({PageResult::Cancel});
    ui_.answer({7});  // No: back to the page
    ui_.answerPage({PageResult::Next});
    EXPECT_EQ(host_.show(page, false), PageResult::Next);
    EXPECT_EQ(ui_.numbers(), std::vector<int>{5509});

    ui_.answerPage({PageResult::Cancel});
    ui_.answer({6});
    EXPECT_EQ(host_.show(page, false), PageResult::Cancel);
}

TEST_F(PageHostTest, LicenceNoIsTheAnswerAndAsksNothing) {
    WizardPage page = licencePage(host_.frame(), "Terms");
    ui_.answerPage({PageResult::Cancel});
    EXPECT_EQ(host_.show(page, false), PageResult::Cancel);
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_EQ(ui_.pages[0].nextLabel, "&Yes");
}

TEST_F(PageHostTest, AResultItsButtonsDoNotAllowKeepsThePageUp) {
    WizardPage page = directoryPage(host_.frame(), PageKind::GetDir, "t", "");
    ui_.answerPage({PageResult::Back});                // Back is not enabled
    ui_.answerPage({PageResult::Next});                // nothing entered yet
    ui_.answerPage({PageResult::Next, {"C:\\Acme"}});  // now it may go on
    EXPECT_EQ(host_.show(page, false), PageResult::Next);
    EXPECT_EQ(ui_.pages.size(), 3u);
    EXPECT_EQ(chosenDirectory(page), "C:\\Acme");
}

TEST_F(PageHostTest, HelpOnlyWithAHelpFileAndAtThePagesTopic) {
    WizardPage page = infoPage(host_.frame(), "x");
    page.helpVisible = true;  // as a page made before the file went away
    EXPECT_EQ(host_.show(page, false), PageResult::Next);
    EXPECT_FALSE(ui_.pages.back().helpVisible);

    messages_.setHelpFile("/opt/Setup.html");
    page = infoPage(host_.frame(), "x");
    ui_.answerPage({PageResult::Next, {}, std::nullopt, true});
    EXPECT_EQ(host_.show(page, true), PageResult::Next);
    ASSERT_EQ(ui_.helpOpened.size(), 1u);
    EXPECT_EQ(ui_.helpOpened[0],
              "/opt/Setup.html#" +
                  std::to_string(PageHost::kFirstHelpTopic + static_cast<int>(PageKind::Info)));
}

TEST_F(PageHostTest, BrowseStartsFromTheTextAndGivesAWindowsPath) {
    const auto apps = machine_->hostPath("C:\\Apps");
    ASSERT_TRUE(apps);
    std::filesystem::create_directories(*apps / "Old");
    // An existing directory is the start itself; otherwise its last part goes.
    EXPECT_EQ(browseStart("C:\\Apps\\Old", *machine_), "C:\\Apps\\Old");
    EXPECT_EQ(browseStart("C:\\Apps\\New", *machine_), "C:\\Apps");
    EXPECT_EQ(browseStart("C:\\New", *machine_), "C:\\");
    EXPECT_EQ(browseStart("C:", *machine_), "C:\\");

    WizardPage page = directoryPage(host_.frame(), PageKind::GetDir, "t", "C:\\Apps\\New");
    ui_.chooseFolderAnswer(*apps / "Old");
    ui_.answerPage({PageResult::Next, {}, std::nullopt, false, true});
    EXPECT_EQ(host_.show(page, false), PageResult::Next);
    ASSERT_EQ(ui_.folderStarts.size(), 1u);
    EXPECT_EQ(ui_.folderStarts[0], *apps);
    EXPECT_EQ(page.fields[0].text(), "C:\\Apps\\Old");
}

TEST_F(PageHostTest, BrowseCancelledKeepsTheText) {
    WizardPage page = directoryPage(host_.frame(), PageKind::GetDir, "t", "Q:\\Nowhere\\x");
    ui_.chooseFolderAnswer(std::nullopt);
    ui_.answerPage({PageResult::Next, {}, std::nullopt, false, true});
    EXPECT_EQ(host_.show(page, false), PageResult::Next);
    EXPECT_EQ(page.fields[0].text(), "Q:\\Nowhere\\x");
    // A start on no drive of the root begins at C:.
    ASSERT_EQ(ui_.folderStarts.size(), 1u);
    EXPECT_EQ(ui_.folderStarts[0], *machine_->hostPath("C:\\"));
}

TEST(PageFrontEnds, CodePageUiDecodesThePageAndEncodesTheAnswer) {
    ScriptedUi front;
    CodePageUi ui(front);
    WizardPage page = userPage({"Caf\xe9 Setup", "", false}, {"J\xfcrgen", ""});
    front.answerPage({PageResult::Next, {"Andr\xc3\xa9"}});
    EXPECT_EQ(ui.showPage(page, {}), PageResult::Next);
    EXPECT_EQ(front.pages[0].title, "Caf\xc3\xa9 Setup");
    EXPECT_EQ(front.pages[0].fields[0].text(), "J\xc3\xbcrgen");
    EXPECT_EQ(page.fields[0].text(), "Andr\xe9");
}

TEST(PageFrontEnds, CodePageUiKeepsTheLimitInCharacters) {
    ScriptedUi front;
    CodePageUi ui(front);
    WizardPage page = userPage({}, {"", ""});
    front.answerPage({PageResult::Next, {std::string(60, 'x')}});
    (void)ui.showPage(page, {});
    EXPECT_EQ(page.fields[0].text(), std::string(50, 'x'));
    std::string umlauts;
    for (int i = 0; i < 60; ++i) umlauts += "\xc3\xbc";
    front.answerPage({PageResult::Next, {umlauts}});
    (void)ui.showPage(page, {});
    EXPECT_EQ(page.fields[0].text(), std::string(50, '\xfc'));
}

TEST(PageFrontEnds, ConsoleOffersThePresetAndCancelsWithoutATerminal) {
    std::ostringstream out;
    std::istringstream terminal("\n\n\n\n");  // Enter on each field and page
    ConsoleUi ui(out, &terminal);
    WizardPage mode = modePage({"Acme", "", false}, SetupMode::Standard, {"1 MB", "2 MB", "3 MB"});
    EXPECT_EQ(ui.showPage(mode, {}), PageResult::Next);
    EXPECT_EQ(mode.chosen, 1);
    EXPECT_NE(out.str().find("(*) Standard  2 MB"), std::string::npos);

    WizardPage secret = userPage({"Acme", "", false}, {"pw", ""});
    secret.fields[0].password = true;
    out.str("");
    EXPECT_EQ(ui.showPage(secret, {}), PageResult::Next);
    EXPECT_EQ(secret.fields[0].text(), "pw");
    EXPECT_EQ(out.str().find("pw"), std::string::npos);

    std::ostringstream alone;
    ConsoleUi noTerminal(alone);
    WizardPage user = userPage({"Acme", "", false}, {"Ada", ""});
    EXPECT_EQ(noTerminal.showPage(user, {}), PageResult::Cancel);
}

}  // namespace
}  // namespace kestrel::setup
