#include <gtest/gtest.h>

#include "ScriptedUi.h"
#include "messages/MessageEngine.h"
#include "ui/CodePageUi.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup {
namespace {

class ProgressWindowTest : public ::testing::Test {
  protected:
    ScriptedUi ui_;
    StringTable strings_;
    MessageEngine messages_{ui_, strings_};
    RunState run_;
    ProgressWindow window_{messages_, run_};
};

TEST_F(ProgressWindowTest, ShowsWhatIsCopiedOrDeletedAndTheMeter) {
    window_.open("Acme", true, true);
    window_.copying("D:\\SRC\\A.DLL", "C:\\Acme\\A.DLL");
    window_.setProgress(1, 3);
    const ProgressView& copied = ui_.progressViews.back();
    EXPECT_TRUE(copied.visible);
    EXPECT_EQ(copied.title, "Acme");
    EXPECT_EQ(copied.firstLabel, "Copying:");
    EXPECT_EQ(copied.first, "D:\\SRC\\A.DLL");
    EXPECT_EQ(copied.secondLabel, "to:");
    EXPECT_EQ(copied.second, "C:\\Acme\\A.DLL");
    EXPECT_EQ(copied.percent, 33);
    EXPECT_EQ(copied.meter, "33%");
    EXPECT_FALSE(copied.helpVisible);

    window_.deleting("C:\\Acme\\old.txt");
    EXPECT_EQ(ui_.progressViews.back().firstLabel, "Deleting:");
    EXPECT_EQ(ui_.progressViews.back().secondLabel, "");
    window_.setPercent(250);
    EXPECT_EQ(ui_.progressViews.back().meter, "100%");
    window_.setProgress(0, 0);
    EXPECT_EQ(ui_.progressViews.back().percent, 100);
    window_.close();
    EXPECT_FALSE(ui_.progressViews.back().visible);
}

TEST_F(ProgressWindowTest, CancelAsksAndOnlyYesSetsTheAbortFlag) {
    window_.open("Acme", true, true);
    ui_.cancelAfterPolls = 0;
    ui_.answer({7, 6});
    EXPECT_FALSE(window_.poll());
    EXPECT_FALSE(run_.abort);
    EXPECT_TRUE(window_.poll());
    EXPECT_TRUE(run_.abort);
    EXPECT_EQ(ui_.numbers(), (std::vector<int>{5509, 5509}));
}

TEST_F(ProgressWindowTest, WithoutACancelButtonNothingIsAsked) {
    window_.open("Acme", true, false);
    ui_.cancelAfterPolls = 0;
    EXPECT_FALSE(window_.poll());
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_FALSE(ui_.progressViews.back().cancelVisible);
}

TEST_F(ProgressWindowTest, HelpOpensTheHelpFileWhenThereIsOne) {
    messages_.setHelpFile("/opt/Setup.html");
    window_.open("Acme", true, true);
    ASSERT_TRUE(ui_.progressViews.back().helpVisible);
    ui_.progressViews.back().help();
    EXPECT_EQ(ui_.helpOpened.size(), 1u);
}

TEST(ProgressFrontEnds, CodePageUiDecodesTheProgressTexts) {
    ScriptedUi front;
    CodePageUi ui(front);
    ProgressView view;
    view.first = "C:\\Caf\xe9\\a.txt";
    ui.showProgress(view);
    EXPECT_EQ(front.progressViews.back().first, "C:\\Caf\xc3\xa9\\a.txt");
}

}  // namespace
}  // namespace kestrel::setup
