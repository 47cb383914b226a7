#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "components/ComponentListReader.h"
#include "components/InitialSelection.h"
#include "ui/qt/ComponentPanel.h"
#include "ui/qt/WizardDialog.h"
#include "wizard/Pages.h"

namespace kestrel::setup {
namespace {

ComponentList product() {
    const ScriptText script = ScriptText::fromText(
        "[Options]\nBase=Base,DEFAULT,,The base\nLang=Languages,DEFAULT,,\n"
        "Lang\\De=German,0,,\nLang\\En=English,0,,\nTools=Tools,0,,\nTools\\A=A,0,,\n"
        "[OptionGroups]\n1 = Lang\\*\n",
        "Setup.inf");
    BuiltinVariables variables;
    MemoryEnvironment environment;
    auto list =
        readComponentList(script, variables, Expander({&variables, &environment, nullptr, nullptr}),
                          {}, [](const ScriptProblem&) {});
    applyInitialSelection(*list, {});
    return std::move(*list);
}

QPoint pictureOf(ComponentListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    return {ComponentListWidget::pictureColumnWidth() / 2, rect.center().y()};
}

QPoint textOf(ComponentListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    return {rect.left() + 80, rect.center().y()};
}

class ComponentPageDialog : public ::testing::Test {
  protected:
    ComponentList list_ = product();
    ComponentPage components_{list_, {}};
    WizardPage page_ = optionsPage({"Acme Setup", "", false}, components_);
    bool cancelAsked_ = false;
    PageActions actions_{{}, {}, [this] {
                             cancelAsked_ = true;
                             return true;
                         }};
    WizardDialog dialog_{page_, actions_};
    ComponentPanel* panel_ = dialog_.componentPanel();
    bool selected(std::string_view name) { return list_[*list_.find(name)].selected; }
};

TEST_F(ComponentPageDialog, AClickOnThePictureOrTheSpaceBarToggles) {
    dialog_.show();
    ASSERT_NE(panel_, nullptr);
    ComponentListWidget* list = panel_->list();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(dialog_.nextButton()->text(), "&Finish");
    EXPECT_EQ(panel_->descriptionLabel()->text(), "The base");

    // A click on the text only makes the item current.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, textOf(list, 2));
    EXPECT_FALSE(selected("Tools"));
    EXPECT_EQ(panel_->countLabel()->text(), "0 of 1 components selected");
    const QString before = panel_->neededLabel()->text();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pictureOf(list, 2));
    EXPECT_TRUE(selected("Tools"));
    EXPECT_EQ(panel_->countLabel()->text(), "1 of 1 components selected");
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_FALSE(selected("Tools"));
    EXPECT_EQ(panel_->neededLabel()->text(), before);
}

TEST_F(ComponentPageDialog, DetailsCancelAndFinishCloseTheLevelNotThePage) {
    dialog_.show();
    ComponentListWidget* list = panel_->list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, textOf(list, 0));
    EXPECT_FALSE(panel_->detailsButton()->isEnabled());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, textOf(list, 1));
    ASSERT_TRUE(panel_->detailsButton()->isEnabled());
    QTest::mouseClick(panel_->detailsButton(), Qt::LeftButton);
    ASSERT_TRUE(components_.inDetails());
    EXPECT_FALSE(dialog_.backButton()->isVisible());
    ASSERT_EQ(list->count(), 2);

    // The chosen language cannot be switched off; the other one replaces it.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pictureOf(list, 0));
    EXPECT_TRUE(selected("Lang\\De"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pictureOf(list, 1));
    EXPECT_TRUE(selected("Lang\\En"));
    QTest::mouseClick(dialog_.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(cancelAsked_);
    EXPECT_TRUE(dialog_.isVisible());
    EXPECT_FALSE(components_.inDetails());
    EXPECT_TRUE(selected("Lang\\De"));
    EXPECT_FALSE(selected("Lang\\En"));
    EXPECT_EQ(list->count(), 3);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, textOf(list, 1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, textOf(list, 1));
    ASSERT_TRUE(components_.inDetails());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pictureOf(list, 1));
    QTest::mouseClick(dialog_.nextButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog_.isVisible());
    EXPECT_TRUE(selected("Lang\\En"));

    QTest::mouseClick(dialog_.nextButton(), Qt::LeftButton);
    EXPECT_EQ(static_cast<PageResult>(dialog_.result()), PageResult::Next);
}

}  // namespace
}  // namespace kestrel::setup
