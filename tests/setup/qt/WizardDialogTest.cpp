#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include "TestSupport.h"
#include "ui/qt/ElidedLabel.h"
#include "ui/qt/ProgressDialog.h"
#include "ui/qt/QtUi.h"
#include "ui/qt/WizardDialog.h"
#include "wizard/Pages.h"

namespace kestrel::setup {
namespace {

const PageFrame kFrame{"Acme Setup", "", false};

void click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

PageResult resultOf(const QDialog& dialog) {
    return static_cast<PageResult>(dialog.result());
}

TEST(WizardDialog, UserPageShowsItsFieldsLimitsAndNeedsAName) {
    UserPageSetup setup;
    setup.company = "Acme";
    WizardPage page = userPage(kFrame, setup);
    WizardDialog dialog(page, {});
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Acme Setup");
    ASSERT_NE(dialog.edit(1), nullptr);
    EXPECT_EQ(dialog.edit(0)->maxLength(), 50);
    EXPECT_EQ(dialog.edit(1)->maxLength(), 50);
    EXPECT_EQ(dialog.edit(1)->text(), "Acme");
    EXPECT_FALSE(dialog.nextButton()->isEnabled());
    EXPECT_FALSE(dialog.backButton()->isEnabled());
    EXPECT_FALSE(dialog.helpButton()->isVisible());
    EXPECT_FALSE(dialog.skipButton()->isVisible());

    QTest::keyClicks(dialog.edit(0), "Ann");
    EXPECT_TRUE(dialog.nextButton()->isEnabled());
    click(dialog.nextButton());
    EXPECT_EQ(resultOf(dialog), PageResult::Next);
    EXPECT_EQ(page.fields[0].text(), "Ann");
}

TEST(WizardDialog, CompanyHiddenAndReadOnlyFieldsAsTheCallerSays) {
    UserPageSetup setup;
    setup.user = "Bob";
    setup.useCompany = false;
    setup.userReadOnly = true;
    WizardPage page = userPage(kFrame, setup);
    WizardDialog dialog(page, {});
    dialog.show();
    EXPECT_TRUE(dialog.edit(0)->isReadOnly());
    EXPECT_FALSE(dialog.edit(1)->isVisible());
    EXPECT_TRUE(dialog.nextButton()->isEnabled());
}

TEST(WizardDialog, ValueEditFollowsThePromptsRulesAsTyped) {
    WizardPage page = framedPage(kFrame, PageKind::GetVal);
    EditField upper("Code:", 4);
    upper.letterCase = LetterCase::Upper;
    EditField digits("Port:", 255);
    digits.digitsOnly = true;
    EditField secret("Password:", 255);
    secret.password = true;
    secret.required = false;
    page.fields = {upper, digits, secret};
    WizardDialog dialog(page, {});
    dialog.show();
    QTest::keyClicks(dialog.edit(0), "abcdef");
    EXPECT_EQ(dialog.edit(0)->text(), "ABCD");
    QTest::keyClicks(dialog.edit(1), "8a0-8");
    EXPECT_EQ(dialog.edit(1)->text(), "808");
    EXPECT_EQ(dialog.edit(2)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.browseButton(0), nullptr);
    click(dialog.nextButton());
    EXPECT_EQ(page.fields[0].text(), "ABCD");
    EXPECT_EQ(page.fields[1].text(), "808");
}

TEST(WizardDialog, BackOnlyWhenEnabledAndCancelOnlyWhenConfirmed) {
    WizardPage page = infoPage(kFrame, "Read me");
    page.backEnabled = true;
    int asked = 0;
    bool confirm = false;
    PageActions actions;
    actions.confirmCancel = [&] {
        ++asked;
        return confirm;
    };
    WizardDialog dialog(page, actions);
    dialog.show();
    EXPECT_NE(dialog.findChild<QPlainTextEdit*>("text"), nullptr);
    click(dialog.cancelButton());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(dialog.isVisible());
    confirm = true;
    click(dialog.cancelButton());
    EXPECT_EQ(resultOf(dialog), PageResult::Cancel);

    WizardDialog again(page, actions);
    again.show();
    click(again.backButton());
    EXPECT_EQ(resultOf(again), PageResult::Back);
}

TEST(WizardDialog, ButtonPagesEndWithTheChoice) {
    WizardPage admin = adminPage(kFrame);
    WizardDialog dialog(admin, {});
    dialog.show();
    EXPECT_FALSE(dialog.nextButton()->isVisible());
    EXPECT_FALSE(dialog.backButton()->isVisible());
    EXPECT_EQ(dialog.choiceButton(1)->text(), "Workstation");
    click(dialog.choiceButton(1));
    EXPECT_EQ(resultOf(dialog), PageResult::Next);
    EXPECT_EQ(admin.chosen, 1);

    WizardPage same = instSamePage(kFrame, false);
    WizardDialog instSame(same, {});
    instSame.show();
    EXPECT_TRUE(instSame.choiceButton(2)->isVisible());
    EXPECT_FALSE(instSame.choiceButton(3)->isVisible());
    // One column of buttons of one width, not each as wide as its text.
    EXPECT_EQ(instSame.choiceButton(0)->width(), instSame.choiceButton(1)->width());
    EXPECT_EQ(instSame.choiceButton(1)->width(), instSame.choiceButton(2)->width());
}

// The directory a product usually goes to is seen whole, not scrolled.
TEST(WizardDialog, ADirectoryUnderProgramFilesIsShownWhole) {
    const std::string directory = "C:\\Program Files (x86)\\Beacon Monitor\\Data";
    WizardPage page = directoryPage(kFrame, PageKind::GetDir, "Where?", directory);
    WizardDialog dialog(page, {});
    dialog.show();
    const QLineEdit* edit = dialog.edit(0);
    EXPECT_LT(edit->fontMetrics().horizontalAdvance(QString::fromStdString(directory)),
              edit->contentsRect().width() - 8);
}

// A long source path in the progress window keeps its drive and its file's name, and the
// window keeps its size.
TEST(WizardDialog, ProgressShowsLongPathsWithTheirMiddleLeftOut) {
    ProgressDialog dialog;
    ProgressView view;
    view.visible = true;
    view.firstLabel = "Copying:";
    view.first =
        "Z:\\work\\" + std::string(30, 'x') + "\\build\\examples\\products\\disk\\ENGLISH.TXT";
    dialog.show(view);
    const int width = dialog.width();
    EXPECT_LT(width, 600);
    const QString shown = dialog.first()->shownText();
    EXPECT_TRUE(shown.startsWith("Z:\\work")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("ENGLISH.TXT")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_EQ(dialog.first()->text().toStdString(), view.first);
    EXPECT_EQ(dialog.first()->toolTip().toStdString(), view.first);
}

TEST(WizardDialog, ModePageChoosesWithRadioButtonsAndShowsTheSizes) {
    WizardPage page = modePage(kFrame, SetupMode::Full, {"12 MB", "8 MB", "3 MB"});
    WizardDialog dialog(page, {});
    dialog.show();
    auto* custom = qobject_cast<QRadioButton*>(dialog.choiceButton(2));
    ASSERT_NE(custom, nullptr);
    EXPECT_TRUE(qobject_cast<QRadioButton*>(dialog.choiceButton(0))->isChecked());
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("3 MB"));
    click(custom);
    click(dialog.nextButton());
    EXPECT_EQ(chosenMode(page), SetupMode::Custom);
}

// INSTSAME, MODE and GETUSER say above their buttons and fields which product they are about
// and what they ask; a licence's line breaks are lines.
TEST(WizardDialog, ExplainingPagesShowTheirTextAboveTheChoices) {
    const PageFrame frame{"Beacon Setup", "", false, "Beacon Monitor 2.4"};
    UserPageSetup setup;
    for (WizardPage page :
         {instSamePage(frame, true), modePage(frame, SetupMode::Full, {"1 MB", "1 MB", "1 MB"}),
          userPage(frame, setup)}) {
        WizardDialog dialog(page, {});
        dialog.show();
        const auto* text = dialog.findChild<QLabel*>("text");
        ASSERT_NE(text, nullptr) << page.text;
        EXPECT_TRUE(text->isVisible());
        EXPECT_TRUE(text->text().contains("Beacon Monitor 2.4")) << text->text().toStdString();
    }
    WizardPage licence = licencePage(frame, "First line\r\nSecond line");
    WizardDialog dialog(licence, {});
    dialog.show();
    const auto* text = dialog.findChild<QPlainTextEdit*>("text");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->document()->blockCount(), 2);
    EXPECT_EQ(text->document()->findBlockByNumber(0).text(), "First line");
    EXPECT_EQ(text->document()->findBlockByNumber(1).text(), "Second line");
}

TEST(WizardDialog, LicenceAsksYesOrNo) {
    WizardPage page = licencePage(kFrame, "Terms");
    WizardDialog dialog(page, {});
    dialog.show();
    EXPECT_EQ(dialog.nextButton()->text(), "&Yes");
    EXPECT_EQ(dialog.cancelButton()->text(), "&No");
    EXPECT_FALSE(dialog.backButton()->isVisible());
    EXPECT_NE(dialog.findChild<QLabel*>("question"), nullptr);
    click(dialog.cancelButton());
    EXPECT_EQ(resultOf(dialog), PageResult::Cancel);
}

TEST(WizardDialog, DiskPageBrowsesAndSkips) {
    WizardPage page = diskPage(kFrame, "Please insert", "Disk 2", "A:\\x");
    page.helpVisible = true;
    std::string browsedFrom;
    int helped = 0;
    PageActions actions;
    actions.browse = [&](const std::string& current) -> std::optional<std::string> {
        browsedFrom = current;
        return std::string("B:\\");
    };
    actions.help = [&] { ++helped; };
    WizardDialog dialog(page, actions);
    dialog.show();
    EXPECT_EQ(dialog.nextButton()->text(), "OK");
    EXPECT_TRUE(dialog.skipButton()->isVisible());
    EXPECT_EQ(dialog.edit(0)->maxLength(), 255);
    click(dialog.browseButton(0));
    EXPECT_EQ(browsedFrom, "A:\\x");
    EXPECT_EQ(dialog.edit(0)->text(), "B:\\");
    EXPECT_EQ(dialog.edit(0)->selectedText(), "B:\\");
    click(dialog.helpButton());
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(helped, 2);
    click(dialog.skipButton());
    EXPECT_EQ(resultOf(dialog), PageResult::Skip);
    EXPECT_EQ(page.fields[0].text(), "B:\\");
}

TEST(WizardDialog, OnlyTheDataDirectoryPageHasTheDataIcon) {
    WizardPage data = directoryPage(kFrame, PageKind::GetDataDir, "Data", "C:\\Data");
    WizardPage app = directoryPage(kFrame, PageKind::GetDir, "App", "C:\\App");
    EXPECT_NE(WizardDialog(data, {}).findChild<QLabel*>("dataIcon"), nullptr);
    EXPECT_EQ(WizardDialog(app, {}).findChild<QLabel*>("dataIcon"), nullptr);
}

TEST(WizardDialog, PictureIsTheScriptsOrOurLogo) {
    WizardPage page = infoPage(kFrame, "x");
    WizardDialog logo(page, {});
    ASSERT_FALSE(logo.pictureLabel()->pixmap().isNull());
    EXPECT_EQ(logo.pictureLabel()->pixmap().width(), 164);

    kestrel::test::TempDir dir;
    QPixmap own(40, 30);
    own.fill(Qt::red);
    const QString file = QString::fromStdString((dir / "wizard.bmp").string());
    ASSERT_TRUE(own.save(file, "BMP"));
    page.picture = file.toStdString();
    WizardDialog scripted(page, {});
    EXPECT_EQ(scripted.pictureLabel()->pixmap().size(), QSize(40, 30));
}

TEST(QtUiPages, ShowPageRunsTheDialogModally) {
    QWidget window;
    window.show();
    QtUi ui(&window);
    WizardPage page = directoryPage(kFrame, PageKind::GetDir, "Where?", "C:\\Acme");
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<WizardDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->edit(0)->clear();
        QTest::keyClicks(dialog->edit(0), "D:");
        QTest::mouseClick(dialog->nextButton(), Qt::LeftButton);
    });
    EXPECT_EQ(ui.showPage(page, {}), PageResult::Next);
    EXPECT_EQ(chosenDirectory(page), "D:\\");
}

TEST(QtUiPages, ProgressWindowIsModelessAndReportsCancelOnce) {
    QWidget window;
    window.show();
    QtUi ui(&window);
    ProgressView view;
    view.visible = true;
    view.firstLabel = "Copying:";
    view.first = "D:\\A.DLL";
    view.secondLabel = "to:";
    view.second = "C:\\Acme\\A.DLL";
    view.percent = 42;
    view.meter = "42%";
    ui.showProgress(view);
    ProgressDialog* progress = ui.progressDialog();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_FALSE(progress->isModal());
    EXPECT_EQ(progress->first()->text(), "D:\\A.DLL");
    EXPECT_EQ(progress->secondLabel()->text(), "to:");
    EXPECT_EQ(progress->meter()->text(), "42%");
    EXPECT_EQ(progress->bar()->value(), 42);
    EXPECT_FALSE(progress->helpButton()->isVisible());

    EXPECT_FALSE(ui.cancelRequested());
    QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
    EXPECT_TRUE(ui.cancelRequested());
    EXPECT_FALSE(ui.cancelRequested());
    EXPECT_TRUE(progress->isVisible());  // the core decides whether the work stops

    view.cancelVisible = false;
    view.visible = false;
    ui.showProgress(view);
    EXPECT_FALSE(progress->isVisible());
}

}  // namespace
}  // namespace kestrel::setup
