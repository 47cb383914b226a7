// The main window offscreen: its controls, and the tree's double-click, drag and drop and
// keys reaching the core.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "ClassicFixture.h"
#include "DialogUnits.h"
#include "MainWindow.h"
#include "QtUi.h"

namespace kestrel::classic::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class MainWindowTest : public ClassicTest {
  protected:
    void show(const std::string& commandLine = "") {
        login();
        startBrowser(commandLine);
        window_ = std::make_unique<MainWindow>(*browser_);
        window_->refresh();
        window_->show();
        tree_ = control<QTreeWidget>(kIdTree);
    }

    template <typename Widget>
    Widget* control(int id) {
        for (auto* widget : window_->findChildren<Widget*>())
            if (widget->property("controlId").toInt() == id) return widget;
        return nullptr;
    }

    QPoint centre(ItemId item) { return tree_->visualItemRect(window_->itemFor(item)).center(); }

    void doubleClick(ItemId item) {
        QTest::mouseDClick(tree_->viewport(), Qt::LeftButton, {}, centre(item));
    }

    ItemId childNamed(ItemId parent, const char* text) { return child(parent, text); }

    std::unique_ptr<MainWindow> window_;
    QTreeWidget* tree_ = nullptr;
};

TEST_F(MainWindowTest, ControlsSitAtTheirPlacesWithTheirIdsAndTexts) {
    show("/nocreate");
    EXPECT_EQ(window_->windowTitle(), "Kestrelscope");
    EXPECT_EQ(window_->size(), QSize(566, 449));  // 377 by 276 dialog units
    struct Expected {
        int id;
        const char* text;
        QRect rect;
        bool enabled;
    };
    const Expected buttons[] = {
        {kIdRemoteControl, "Remote Control", dialogRect(260, 25, 105, 14), true},
        {kIdWorkstationInfos, "Workstation NDS Infos", dialogRect(260, 45, 105, 14), true},
        {kIdIpPing, "IP Ping", dialogRect(260, 65, 105, 14), true},
        {kIdIpxPing, "IPX Ping", dialogRect(260, 85, 105, 14), false},
        {kIdWakeUp, "WakeUp PC (via IP)", dialogRect(260, 105, 105, 14), true},
        {kIdChangeContext, "Change Start Context", dialogRect(260, 160, 105, 14), true},
        {kIdSaveContext, "Save Start Context", dialogRect(260, 180, 105, 14), true},
        {kIdCreateShortcut, "Create a Desktop Shortcut", dialogRect(260, 200, 105, 14), false},
        {kIdAbout, "About", dialogRect(290, 230, 50, 14), true},
        {kIdOk, "OK", dialogRect(290, 250, 50, 14), true},
    };
    for (const auto& expected : buttons) {
        auto* button = control<QPushButton>(expected.id);
        ASSERT_NE(button, nullptr) << expected.id;
        EXPECT_EQ(button->text(), expected.text);
        EXPECT_EQ(button->geometry(), expected.rect) << expected.text;
        EXPECT_EQ(button->isEnabled(), expected.enabled) << expected.text;
    }
    EXPECT_EQ(dialogRect(260, 25, 105, 14), QRect(390, 41, 158, 22));  // base units 6 x 13
    auto* treeName = control<QLineEdit>(kIdTreeName);
    EXPECT_EQ(treeName->text(), "ACME_TREE");
    EXPECT_TRUE(treeName->isReadOnly());
    EXPECT_EQ(treeName->geometry(), dialogRect(45, 5, 80, 12));
    EXPECT_EQ(tree_->geometry(), dialogRect(5, 20, 245, 245));
    EXPECT_EQ(tree_->topLevelItem(0)->text(0), "[Root]");
    EXPECT_EQ(tree_->iconSize(), QSize(17, 17));
}

TEST_F(MainWindowTest, WindowMenuOffersTheAboutBox) {
    show();
    QStringList entries;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions())
                entries << action->text() + "=" + action->data().toString();
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(500, 400),
                            window_->mapToGlobal(QPoint(500, 400)));
    QApplication::sendEvent(window_.get(), &event);
    EXPECT_EQ(entries, QStringList(QString::fromUtf8("Inf&o über Kestrelscope...=16")));
}

TEST_F(MainWindowTest, DoubleClickListsTheItem) {
    show();
    ItemId top = browser_->tree().top();
    doubleClick(top);
    QTreeWidgetItem* topItem = window_->itemFor(top);
    ASSERT_EQ(topItem->childCount(), 2);
    EXPECT_EQ(topItem->child(0)->text(0), "C=DE");
    EXPECT_EQ(topItem->child(1)->text(0), "O=Acme");
    EXPECT_TRUE(topItem->isExpanded());
    doubleClick(top);  // listed already: the item just closes
    EXPECT_FALSE(topItem->isExpanded());
}

TEST_F(MainWindowTest, DraggedItemMovesAndLaterNamesFollowIt) {
    show();
    ItemId pc1 = open({"O=Acme", "CN=PC1"});
    ItemId acme = browser_->tree().parent(pc1);
    ItemId munich = childNamed(acme, "L=Munich");
    window_->refresh();
    QPoint from = centre(pc1), to = centre(munich);
    QTest::mousePress(tree_->viewport(), Qt::RightButton, {}, from);
    QTest::mouseMove(tree_->viewport(), from + QPoint(0, 12));
    QTest::mouseMove(tree_->viewport(), to);
    QTest::mouseRelease(tree_->viewport(), Qt::RightButton, {}, to);
    ItemId moved = childNamed(munich, "CN=PC1");
    ASSERT_NE(moved, kNoItem);
    EXPECT_FALSE(browser_->tree().contains(pc1));
    QTreeWidgetItem* movedItem = window_->itemFor(moved);
    ASSERT_NE(movedItem, nullptr);
    EXPECT_EQ(movedItem->parent()->text(0), "L=Munich");
    EXPECT_EQ(tree_->currentItem(), movedItem);
    QTest::mouseClick(control<QPushButton>(kIdRemoteControl), Qt::LeftButton);
    EXPECT_THAT(started_, ElementsAre("WVIEWNT.EXE -s\"Zen\" -w\"CN=PC1.L=Munich.O=Acme\" "
                                      "-n\"ACME_TREE\" -c\"Remote Control\""));

    // Back onto its own parent: only a beep.
    from = centre(moved);
    to = centre(munich);
    QTest::mousePress(tree_->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(tree_->viewport(), to);
    QTest::mouseRelease(tree_->viewport(), Qt::LeftButton, {}, to);
    EXPECT_EQ(ui_.beeps, 1);
    EXPECT_TRUE(browser_->tree().contains(moved));
}

// Through the real front end: the message box shows, and the window is still there after it.
TEST_F(MainWindowTest, WakeUpWithoutAnIpAddressShowsBadIpAddressAndStays) {
    login();
    QtUi qtUi;
    startBrowser("C=DE", &qtUi);
    window_ = std::make_unique<MainWindow>(*browser_);
    qtUi.setWindow(window_.get());
    window_->show();
    open({"S=Hessen", "L=Frankfurt", "O=Acme Logistik", "OU=Warehouse", "CN=FFM05"});
    window_->refresh();
    QStringList shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->text();
            box->accept();
        }
    });
    closer.start(10);
    QTest::mouseClick(control<QPushButton>(kIdWakeUp), Qt::LeftButton);
    closer.stop();
    EXPECT_EQ(shown, QStringList(QStringLiteral("Bad IP address.")));
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(window_->result(), 0);
    // Gone before the front end they talk through.
    window_.reset();
    browser_.reset();
    directory_.reset();
}

TEST_F(MainWindowTest, KeysInTheTreeSayTasteAndStillMove) {
    show();
    ItemId top = browser_->tree().top();
    doubleClick(top);
    tree_->setFocus();
    QTest::keyClick(tree_, Qt::Key_Down);
    EXPECT_THAT(ui_.messages, ElementsAre("TASTE"));
    EXPECT_EQ(tree_->currentItem()->text(0), "C=DE");
    EXPECT_EQ(browser_->selected(), child(top, "C=DE"));
}

}  // namespace
}  // namespace kestrel::classic::test
