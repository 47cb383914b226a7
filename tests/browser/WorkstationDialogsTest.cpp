#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "QtUi.h"
#include "RecordingPrograms.h"
#include "SampleWindowFixture.h"
#include "ToolDialogs.h"
#include "TreeDialog.h"
#include "WorkstationInfoDialog.h"
#include "WorkstationInventoryDialog.h"

namespace kestrel::browser::test {
namespace {

QStringList groupTitles(const QWidget& dialog) {
    QStringList titles;
    for (auto* box : dialog.findChildren<QGroupBox*>()) titles << box->title();
    return titles;
}

QString labelFor(const QWidget* field) {
    auto* form = qobject_cast<QFormLayout*>(field->parentWidget()->layout());
    if (form == nullptr) form = field->parentWidget()->findChild<QFormLayout*>();
    QWidget* label = form != nullptr ? form->labelForField(const_cast<QWidget*>(field)) : nullptr;
    return label != nullptr ? qobject_cast<QLabel*>(label)->text() : QString();
}

TEST(ShortcutSelectionWindow, OffersFiveFunctionsNoneChosen) {
    ShortcutDialogState state;
    qt::ShortcutDialog dialog(state);
    EXPECT_EQ(dialog.windowTitle(), "Kestrelscope: Shortcut Selection Dialog");
    EXPECT_EQ(groupTitles(dialog), QStringList{"Select Function"});
    QStringList captions;
    auto choices = dialog.findChildren<QRadioButton*>();
    for (auto* choice : choices) {
        captions << choice->text();
        EXPECT_FALSE(choice->isChecked());
    }
    EXPECT_EQ(captions, (QStringList{"Remote Control", "Remote View", "File Transfer",
                                     "Remote Execute", "Chat"}));
    QTest::mouseClick(dialog.findChild<QPushButton*>("ok"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(state.chosen.has_value());

    qt::ShortcutDialog again(state);
    again.findChildren<QRadioButton*>()[4]->click();
    QTest::mouseClick(again.findChild<QPushButton*>("ok"), Qt::LeftButton);
    EXPECT_EQ(state.chosen, WorkstationFunction::Chat);
}

TEST(SearchWindow, TakesThePatternOnSearch) {
    SearchDialogState state;
    qt::SearchDialog dialog(state);
    EXPECT_EQ(dialog.windowTitle(), "Kestrelscope: Search Workstation Dialog");
    EXPECT_EQ(dialog.findChild<QLabel*>()->text().remove('&'), "Workstation search pattern:");
    auto* search = dialog.findChild<QPushButton*>("search");
    EXPECT_TRUE(search->isDefault());
    QTest::keyClicks(dialog.findChild<QLineEdit*>("pattern"), "WS1");
    EXPECT_EQ(state.pattern, "");  // taken only on Search
    QTest::mouseClick(search, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(state.pattern, "WS1");

    qt::SearchDialog cancelled(state);
    QTest::mouseClick(cancelled.findChild<QPushButton*>("cancel"), Qt::LeftButton);
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
}

TEST(DetailWindows, InformationShowsEveryField) {
    WorkstationInfo info{"CN=WS17.OU=Sales.O=Acme", "WS17",       "WINNT",
                         {"a1", "127.0.1.17"},      {"no value"}, "Tue Mar  4 10:31:59 1997"};
    qt::WorkstationInfoDialog dialog(info);
    EXPECT_EQ(dialog.windowTitle(), "Kestrelscope: Workstation Information Dialog");
    auto text = [&](const char* name) { return dialog.findChild<QLineEdit*>(name)->text(); };
    EXPECT_EQ(text("cn"), "CN=WS17.OU=Sales.O=Acme");
    EXPECT_EQ(text("computerName"), "WS17");
    EXPECT_EQ(text("computerOs"), "WINNT");
    EXPECT_EQ(text("lastRegistered"), "Tue Mar  4 10:31:59 1997");
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("cn")->isReadOnly());
    auto items = [&](const char* name) {
        QStringList texts;
        auto* list = dialog.findChild<QListWidget*>(name);
        for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
        return texts;
    };
    EXPECT_EQ(items("networkAddresses"), (QStringList{"a1", "127.0.1.17"}));
    EXPECT_EQ(items("userHistory"), QStringList{"no value"});
    EXPECT_EQ(labelFor(dialog.findChild<QLineEdit*>("lastRegistered")), "Last registered time:");
}

TEST(DetailWindows, InventoryShowsFiveFramesAndTheNote) {
    WorkstationInventory inventory;
    inventory.cn = "CN=HQ02.OU=HQ.O=Acme";
    for (const auto& field : inventoryFields())
        inventory.values[std::size_t(field.field)] = std::string(field.attribute) + " value";
    inventory.lastScanNote = "(Last successful scan completed: 06/30/99 10:00)";
    qt::WorkstationInventoryDialog dialog(inventory);
    EXPECT_EQ(dialog.windowTitle(), "Kestrelscope: Workstation Inventory Dialog");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("cn")->text(), "CN=HQ02.OU=HQ.O=Acme");
    EXPECT_EQ(groupTitles(dialog),
              (QStringList{"Machine", "System", "Hardware", "Network", "Scan"}));
    for (const auto& field : inventoryFields()) {
        const QString attribute = QString::fromUtf8(field.attribute.data(), field.attribute.size());
        auto* value = dialog.findChild<QLineEdit*>(attribute);
        ASSERT_NE(value, nullptr) << field.attribute;
        EXPECT_EQ(value->text(), attribute + " value");
        EXPECT_TRUE(value->isReadOnly());
        EXPECT_EQ(labelFor(value), QString::fromUtf8(field.label.data(), field.label.size()));
    }
    // The frames group the fields as they belong together.
    auto frameOf = [&](const char* attribute) {
        return qobject_cast<QGroupBox*>(dialog.findChild<QLineEdit*>(attribute)->parentWidget())
            ->title();
    };
    EXPECT_EQ(frameOf("ZEN:INV Asset Tag"), "Machine");
    EXPECT_EQ(frameOf("ZEN:INV BIOS Type"), "System");
    EXPECT_EQ(frameOf("ZEN:INV Disk Info"), "Hardware");
    EXPECT_EQ(frameOf("ZEN:INV Subnet Address"), "Network");
    EXPECT_EQ(frameOf("ZEN:INV Last Scan Date"), "Scan");
    auto* note = dialog.findChild<QPlainTextEdit*>("note");
    EXPECT_EQ(note->toPlainText(), "(Last successful scan completed: 06/30/99 10:00)");
    EXPECT_TRUE(note->isReadOnly());
}

using TreeWindow = SampleWindowTest;

TEST_F(TreeWindow, MirrorsTheTwoFieldStatesAndLogsIn) {
    logInAsDemo();
    qt::QtUi ui;
    CNDSAccess access(ui);
    TreeDialogState state(access, ui);
    state.open();
    qt::TreeDialog dialog(state);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Kestrelscope: NDS Login Dialog");
    EXPECT_EQ(groupTitles(dialog), QStringList{"NDS Authentication"});
    auto* trees = dialog.findChild<QComboBox*>("tree");
    auto [user, password, login, logout, ok, cancel] = LoginControls(dialog);
    ASSERT_EQ(trees->count(), 2);
    EXPECT_EQ(trees->currentText(), "ACME_TREE");
    EXPECT_EQ(user->text(), "CN=Demo.OU=IT.O=Acme");
    EXPECT_FALSE(user->isEnabled() || password->isEnabled() || login->isEnabled());
    EXPECT_TRUE(logout->isEnabled() && ok->isEnabled());
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);

    trees->setCurrentIndex(1);
    EXPECT_EQ(state.tree(), "GLOBEX_TREE");
    EXPECT_EQ(user->text(), "");
    EXPECT_TRUE(user->isEnabled() && password->isEnabled() && login->isEnabled());
    EXPECT_FALSE(logout->isEnabled());

    QTest::keyClicks(user, "CN=Admin.O=Globex");
    QTest::keyClicks(password, "wrong");
    QString seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QTest::mouseClick(login, Qt::LeftButton);
    EXPECT_EQ(seen, "Couldn't login to tree 'GLOBEX_TREE' as user 'CN=Admin.O=Globex'!");
    EXPECT_TRUE(password->text().isEmpty());
    EXPECT_TRUE(login->isEnabled());

    QTest::keyClicks(password, "globex");
    QTest::mouseClick(login, Qt::LeftButton);
    EXPECT_TRUE(state.loggedIn());
    EXPECT_FALSE(user->isEnabled() || login->isEnabled());
    EXPECT_TRUE(logout->isEnabled());
    EXPECT_TRUE(password->text().isEmpty());
    QTest::mouseClick(logout, Qt::LeftButton);
    EXPECT_FALSE(state.loggedIn());
    EXPECT_TRUE(login->isEnabled());
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

using WorkstationButtons = SampleWindowTest;

TEST_F(WorkstationButtons, EachButtonReachesItsFunction) {
    logInAsDemo();
    std::filesystem::create_directory(root_ / "start");
    RecordingPrograms programs(root_ / "start");
    kestrel::test::ScopedCurrentDir inStart(root_ / "start");
    app_.startContext = "OU=Sales.O=Acme";
    auto& window = openWindow();
    window.treeWidget()->setCurrentItem(childNamed(topItem(), "WS17"));

    QTest::mouseClick(window.button(Button::RemoteView), Qt::LeftButton);
    auto starts = programs.waitFor(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0],
              (Argv{"WVIEWNT.EXE", "-wWS17.Sales.Acme", "-nACME_TREE", "-cRemote View"}));

    QTest::mouseClick(window.button(Button::WorkstationInfo), Qt::LeftButton);
    QTest::mouseClick(window.button(Button::WorkstationInventory), Qt::LeftButton);
    ASSERT_EQ(ui_.infos.size(), 1u);
    EXPECT_EQ(ui_.infos[0].computerName, "WS17");
    ASSERT_EQ(ui_.inventories.size(), 1u);
    QTest::mouseClick(window.button(Button::CreateShortcut), Qt::LeftButton);
    EXPECT_EQ(ui_.shortcutDialogs, 1);

    window.treeWidget()->setCurrentItem(topItem());
    QTest::mouseClick(window.button(Button::SearchWorkstation), Qt::LeftButton);
    EXPECT_EQ(ui_.searchDialogs, 1);
    QTest::mouseClick(window.button(Button::NdsTree), Qt::LeftButton);
    EXPECT_EQ(ui_.treeDialogs, 1);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(WorkstationButtons, SearchAndTreeSwitchMoveTheWidget) {
    logInAsDemo();
    app_.startContext = "O=Acme";
    auto& window = openWindow();
    ui_.search = [](SearchDialogState& dialog) {
        dialog.pattern = "WS2";
        return true;
    };
    QTest::mouseClick(window.button(Button::SearchWorkstation), Qt::LeftButton);
    EXPECT_EQ(topItem()->text(0), "OU=East.OU=Sales.O=Acme");
    ASSERT_NE(window.treeWidget()->currentItem(), nullptr);
    EXPECT_EQ(window.treeWidget()->currentItem()->text(0), "WS20");
    EXPECT_TRUE(enabled(Button::IpPing));

    ui_.trees = [](TreeDialogState& dialog) {
        dialog.choose(1);
        return dialog.login("CN=Admin.O=Globex", "globex");
    };
    QTest::mouseClick(window.button(Button::NdsTree), Qt::LeftButton);
    EXPECT_EQ(window.findChild<QLineEdit*>("treeField")->text(), "GLOBEX_TREE");
    EXPECT_EQ(topItem()->text(0), "[Root]");
    EXPECT_EQ(topItem()->childCount(), 0);
    EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace kestrel::browser::test
