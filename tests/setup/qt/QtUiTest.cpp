#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "messages/MessageEngine.h"
#include "ui/CodePageUi.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/MessageDialog.h"
#include "ui/qt/ProgressDialog.h"
#include "ui/qt/QtUi.h"
#include "ui/qt/TextDialog.h"

namespace kestrel::setup {
namespace {

// Presses a button of the box that comes up next, once it is up.
void pressWhenShown(int id) {
    QTimer::singleShot(0, [id] {
        auto* dialog = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->button(id), Qt::LeftButton);
    });
}

TEST(QtUi, ClickReachesTheCore) {
    QWidget window;
    window.show();
    QtUi ui(&window);
    StringTable strings;
    MessageEngine engine(ui, strings);
    pressWhenShown(6);
    EXPECT_EQ(engine.show(5536, {"Acme"}), 6);
    pressWhenShown(2);
    EXPECT_EQ(engine.show(5501, {"x"}), 2);
    // Without a help file a help request shows 5549 in a box of its own.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->button(9), nullptr);
        EXPECT_NE(dialog->button(2), nullptr);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    engine.help(5501);
    ui.setTitle("Modifying system registry");
    EXPECT_EQ(window.windowTitle(), "Modifying system registry");
}

// Does `work` with the text dialog that comes up next, once it is up.
void onTextDialog(std::function<void(TextDialog&)> work) {
    QTimer::singleShot(0, [work = std::move(work)] {
        auto* dialog = qobject_cast<TextDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        work(*dialog);
    });
}

TEST(QtUi, TextDialogGivesTheConfirmedTextOrNothing) {
    QWidget window;
    window.show();
    QtUi front(&window);
    CodePageUi ui(front);
    onTextDialog([&window](TextDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Local Port \u00E9"));
        EXPECT_EQ(dialog.parentWidget(), &window);
        EXPECT_TRUE(dialog.isModal());
        // OK only once the box holds more than blanks.
        EXPECT_FALSE(dialog.okButton()->isEnabled());
        QTest::keyClicks(dialog.edit(), QStringLiteral("  "));
        EXPECT_FALSE(dialog.okButton()->isEnabled());
        dialog.edit()->insert(QString::fromUtf8("LPT\u00E9: "));  // no key for it in QTest
        EXPECT_TRUE(dialog.okButton()->isEnabled());
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    });
    // Installer text goes in and comes back in the root's code page.
    EXPECT_EQ(ui.askText({"Local Port \xE9", "Enter a port name:", ""}), "LPT\xE9:");
    onTextDialog([](TextDialog& dialog) {
        EXPECT_EQ(dialog.edit()->text(), QStringLiteral("FILE:"));
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("prompt"))->text(),
                  QStringLiteral("Enter a port name:"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(ui.askText({"Local Port", "Enter a port name:", "FILE:"}), std::nullopt);
}

TEST(QtUi, ClipboardGetsTheTextDecoded) {
    QtUi front;
    CodePageUi ui(front);
    ui.setClipboardText("5 \xE9");  // Windows-1252 until a root is open
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("5 \u00E9"));
}

TEST(QtUi, ShowsInstallerTextDecodedThroughTheCodePage) {
    QWidget window;
    window.show();
    QtUi qt(&window);
    CodePageUi ui(qt);
    StringTable strings;
    MessageEngine engine(ui, strings);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QStringList texts;
        for (const QLabel* label : dialog->findChildren<QLabel*>()) texts << label->text();
        EXPECT_TRUE(texts.contains(QString::fromUtf8("™ € “”"))) << texts.join('|').toStdString();
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    engine.note("\x99 \x80 \x93\x94");
    ui.setTitle(
        "Gr\xf6\xdf"
        "e");
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Größe"));
}

}  // namespace
}  // namespace kestrel::setup

namespace kestrel::setup {
namespace {

// The progress window lies in the main window where CopyDialogRect puts it, and stands on
// its own when uninstalling.
TEST(QtUi, ProgressWindowIsPlacedInTheMainWindowOrStandsAlone) {
    QWidget window;
    window.setGeometry(0, 0, 800, 600);
    window.show();
    QtUi ui(&window);
    ProgressView view;
    view.visible = true;
    view.placement.rect = CopyDialogRect{};
    view.placement.rect->x = {10, Coordinate::Unit::Pixels, false};
    view.placement.rect->y = {20, Coordinate::Unit::Pixels, false};
    view.placement.rect->flags = 0;
    ui.showProgress(view);
    ASSERT_NE(ui.progressDialog(), nullptr);
    EXPECT_EQ(ui.progressDialog()->parentWidget(), &window);
    EXPECT_EQ(ui.progressDialog()->pos(), window.mapToGlobal(QPoint(10, 20)));

    view.placement = ProgressPlacement{true, std::nullopt};
    ui.showProgress(view);
    ASSERT_NE(ui.progressDialog(), nullptr);
    EXPECT_EQ(ui.progressDialog()->parentWidget(), nullptr);
}

// While a program is waited for, the windows take no input; they take it again after.
TEST(QtUi, WindowsAreDisabledWhileAProgramIsWaitedFor) {
    QWidget window;
    window.show();
    QtUi ui(&window);
    ui.waitingForProgram();
    EXPECT_FALSE(window.isEnabled());
    QTest::qWait(400);
    EXPECT_TRUE(window.isEnabled());
}

// At the end of a run the main window comes back in front of whatever came over it, with
// the focus, so that the end message is seen; a main window the run never showed (an
// uninstallation) stays hidden.
TEST(QtUi, TheMainWindowIsRaisedWithTheFocusAtTheEnd) {
    QtUi ui;
    ui.raiseMainWindow();  // none yet: nothing to do
    ASSERT_NE(ui.openMainWindow({}), nullptr);
    ui.raiseMainWindow();
    EXPECT_FALSE(ui.mainWindow()->isVisible());
    ui.showMainWindow();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    ui.raiseMainWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(ui.mainWindow()));
    EXPECT_EQ(QApplication::activeWindow(), ui.mainWindow());
}

}  // namespace
}  // namespace kestrel::setup
