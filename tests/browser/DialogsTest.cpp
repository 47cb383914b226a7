#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "ContextDialogs.h"
#include "InfoDialogs.h"
#include "InventoryServerDialog.h"
#include "LoginDialog.h"
#include "QtUi.h"
#include "SampleWindowFixture.h"

namespace kestrel::browser::test {
namespace {

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QList<QMessageBox::StandardButton> buttons;
};

// Answers the next message box with `answer` once it is up, and says what it showed.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons.clear();
        for (QAbstractButton* button : box->buttons()) seen.buttons << box->standardButton(button);
        box->button(answer)->click();
    });
}

TEST(QtMessages, CarryTheProgramNameNoIconAndTheirButtons) {
    qt::QtUi ui;
    SeenBox seen;
    answerNextBox(seen, QMessageBox::Ok);
    ui.showMessage("No NDS Connection!");
    EXPECT_EQ(seen.caption, "Kestrelscope");
    EXPECT_EQ(seen.text, "No NDS Connection!");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});

    answerNextBox(seen, QMessageBox::No);
    EXPECT_FALSE(ui.askYesNo("Proceed?"));
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    answerNextBox(seen, QMessageBox::Yes);
    EXPECT_TRUE(ui.askYesNo("Proceed?"));

    ui.beginWaitCursor();
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.endWaitCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

using StartUpLoginDialog = SampleWindowTest;

TEST_F(StartUpLoginDialog, OkStaysDisabledUntilALoginSucceeds) {
    qt::QtUi ui;
    CNDSAccess access(ui);
    LoginDialogState state(access, ui, "ACME_TREE");
    qt::LoginDialog dialog(state);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Kestrelscope: NDS Login Dialog");
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), "NDS Authentication");
    auto* tree = dialog.findChild<QLineEdit*>("tree");
    auto [user, password, login, logout, ok, cancel] = LoginControls(dialog);
    EXPECT_EQ(tree->text(), "ACME_TREE");
    EXPECT_TRUE(tree->isReadOnly());
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(logout->isEnabled());
    EXPECT_TRUE(login->isEnabled() && cancel->isEnabled());

    user->setText("CN=Demo.OU=IT.O=Acme");
    password->setText("wrong");
    SeenBox seen;
    answerNextBox(seen, QMessageBox::Ok);
    QTest::mouseClick(login, Qt::LeftButton);
    EXPECT_EQ(seen.text, "Couldn't login to tree 'ACME_TREE' as user 'CN=Demo.OU=IT.O=Acme'!");
    EXPECT_EQ(seen.caption, "Kestrelscope");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(login->isEnabled() && cancel->isEnabled());
    EXPECT_TRUE(password->text().isEmpty());

    password->setText("demo");
    QTest::mouseClick(login, Qt::LeftButton);
    EXPECT_TRUE(ok->isEnabled() && cancel->isEnabled());
    EXPECT_FALSE(login->isEnabled());
    EXPECT_FALSE(logout->isEnabled());
    std::string who;
    EXPECT_NE(access.IsTreeAuthenticated("ACME_TREE", who), 0);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(ContextDialogWindows, SaveClearsAndChangeMovesUp) {
    SaveContextDialogState save{"OU=Sales.O=Acme"};
    qt::SaveContextDialog saveDialog(save);
    EXPECT_EQ(saveDialog.windowTitle(), "Kestrelscope: Save Context Dialog");
    auto* shown = saveDialog.findChild<QLineEdit*>("context");
    EXPECT_TRUE(shown->isReadOnly());
    EXPECT_EQ(shown->text(), "OU=Sales.O=Acme");
    QTest::mouseClick(saveDialog.findChild<QPushButton*>("clear"), Qt::LeftButton);
    EXPECT_EQ(save.value, "");
    EXPECT_EQ(shown->text(), "");
    QTest::mouseClick(saveDialog.findChild<QPushButton*>("save"), Qt::LeftButton);
    EXPECT_EQ(saveDialog.result(), QDialog::Accepted);

    ChangeContextDialogState change("OU=A.OU=B.O=C");
    qt::ChangeContextDialog changeDialog(change);
    EXPECT_EQ(changeDialog.windowTitle(), "Kestrelscope: Change Context Dialog");
    auto* field = changeDialog.findChild<QLineEdit*>("context");
    auto* up = changeDialog.findChild<QPushButton*>("up");
    EXPECT_EQ(up->text(), ">");
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(field->text(), "O=C");
    EXPECT_EQ(change.field, "O=C");
    field->clear();
    QTest::keyClicks(field, "OU=Typed");
    EXPECT_EQ(change.field, "OU=Typed");
    QTest::mouseClick(changeDialog.findChild<QPushButton*>("root"), Qt::LeftButton);
    EXPECT_EQ(field->text(), "[Root]");
    QTest::mouseClick(changeDialog.findChild<QPushButton*>("cancel"), Qt::LeftButton);
    EXPECT_EQ(changeDialog.result(), QDialog::Rejected);
}

TEST(InventoryServerWindow, OffersOnlyAnIpAddressAndReportsTheButton) {
    InventoryServerDialogState state{"10.0.0.1"};
    qt::InventoryServerDialog dialog(state);
    EXPECT_EQ(dialog.windowTitle(), "Kestrelscope: Inventory Server Dialog");
    QStringList enabled;
    for (auto* kind : dialog.findChildren<QRadioButton*>())
        if (kind->isEnabled()) enabled << kind->text();
    EXPECT_EQ(enabled, QStringList{"IP Address"});
    auto* server = dialog.findChild<QLineEdit*>("server");
    EXPECT_EQ(server->text(), "10.0.0.1");
    server->setText("10.0.0.7");
    QTest::mouseClick(dialog.findChild<QPushButton*>("useSave"), Qt::LeftButton);
    EXPECT_EQ(dialog.answer(), InventoryServerAnswer::UseAndSave);
    EXPECT_EQ(state.server, "10.0.0.7");
}

TEST(InfoWindows, HelpListsTheSwitchesAndAboutTheVersion) {
    qt::HelpDialog help(QStringLiteral("Kestrelscope [startcontext]\n\n/nosave\tSave off\n"));
    EXPECT_EQ(help.windowTitle(), "Kestrelscope: Help Dialog");
    EXPECT_EQ(help.findChild<QLabel*>("usage")->text(), "Kestrelscope [startcontext]");
    QStringList texts;
    for (auto* label : help.findChild<QGroupBox*>()->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_EQ(texts, (QStringList{"/nosave", "Save off"}));

    qt::AboutDialog about(QStringLiteral("Version 2.1 Rev.B"));
    EXPECT_EQ(about.findChild<QLabel*>("version")->text(), "Version 2.1 Rev.B");
    EXPECT_FALSE(about.findChild<QLabel*>("picture")->pixmap().isNull());
}

}  // namespace
}  // namespace kestrel::browser::test
