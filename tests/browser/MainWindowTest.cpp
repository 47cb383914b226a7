#include <QLineEdit>
#include <QTest>

#include "Artwork.h"
#include "SampleWindowFixture.h"
#include "window/TreeImages.h"

namespace kestrel::browser::test {
namespace {

using MainWindowOnSample = SampleWindowTest;
using Texts = std::vector<std::string>;

// The icon a widget item shows, as pixels, to compare with the image list.
QImage iconImage(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage();
}

TEST_F(MainWindowOnSample, OpensTheStartContextWithSortedChildrenAndTheirImages) {
    logInAsDemo();
    app_.startContext = "OU=West.OU=Sales.O=Acme";
    auto& window = openWindow();
    EXPECT_EQ(window.windowTitle(), "Kestrelscope");
    EXPECT_EQ(iconImage(window.windowIcon()), iconImage(qt::programIcon()));
    EXPECT_EQ(window.findChild<QLineEdit*>("treeField")->text(), "ACME_TREE");
    ASSERT_EQ(window.treeWidget()->topLevelItemCount(), 1);
    QTreeWidgetItem* top = topItem();
    EXPECT_EQ(top->text(0), "OU=West.OU=Sales.O=Acme");
    EXPECT_TRUE(top->isExpanded());
    EXPECT_EQ(window.treeWidget()->currentItem(), top);
    // The directory returns them out of order, the printer is left out.
    EXPECT_EQ(childTexts(top),
              (QStringList{"OU=Lab", "Pc5", "pc7", "WS31", "WS33", "WS35", "WS38"}));
    EXPECT_EQ(iconImage(top->icon(0)), iconImage(qt::treeIcon(kImageOrganizationalUnit)));
    EXPECT_EQ(iconImage(top->child(0)->icon(0)), iconImage(qt::treeIcon(kImageOrganizationalUnit)));
    EXPECT_EQ(iconImage(top->child(1)->icon(0)), iconImage(qt::treeIcon(kImageWorkstation)));
    EXPECT_NE(iconImage(qt::treeIcon(kImageWorkstation)),
              iconImage(qt::treeIcon(kImageOrganizationalUnit)));
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MainWindowOnSample, SelectingSwitchesTheButtonsByTheRule) {
    logInAsDemo();
    app_.startContext = "OU=Sales.O=Acme";
    auto& window = openWindow();
    QTreeWidget* tree = window.treeWidget();
    EXPECT_TRUE(enabled(Button::InventoryQuery));
    EXPECT_FALSE(enabled(Button::RemoteControl));
    EXPECT_TRUE(window.button(Button::IpxPing)->isHidden());
    EXPECT_FALSE(enabled(Button::WakeUp));

    QTreeWidgetItem* ws = childNamed(topItem(), "WS17");
    ASSERT_NE(ws, nullptr);
    tree->setCurrentItem(ws);
    for (Button button : {Button::PingAgent, Button::RemoteControl, Button::RemoteView,
                          Button::WorkstationInfo, Button::IpPing, Button::CreateShortcut})
        EXPECT_TRUE(enabled(button)) << buttonCaption(button);
    for (Button button : {Button::InventoryQuery, Button::ChangeStartContext,
                          Button::SaveStartContext, Button::SearchWorkstation, Button::WakeUp})
        EXPECT_FALSE(enabled(button)) << buttonCaption(button);
    EXPECT_EQ(controller_->tree().selected()->text(), "WS17");

    tree->setCurrentItem(childNamed(topItem(), "OU=East"));
    EXPECT_TRUE(enabled(Button::InventoryQuery));
    EXPECT_TRUE(enabled(Button::SearchWorkstation));
    EXPECT_FALSE(enabled(Button::RemoteView));
}

TEST_F(MainWindowOnSample, DoubleClickListsAndKeysMoveTheTop) {
    logInAsDemo();
    app_.startContext = "OU=Sales.O=Acme";
    auto& window = openWindow();
    QTreeWidget* tree = window.treeWidget();

    QTreeWidgetItem* east = childNamed(topItem(), "OU=East");
    tree->setCurrentItem(east);
    // A real double-click: a click, then the second press that the system reports as double.
    const QPoint place = tree->visualItemRect(east).center();
    auto doubleClick = [&] {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, place);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, place);
    };
    doubleClick();
    EXPECT_EQ(childTexts(east), (QStringList{"WS20", "WS21", "WS22", "WS23", "WS24"}));
    EXPECT_TRUE(east->isExpanded());
    doubleClick();
    EXPECT_FALSE(east->isExpanded());  // listed once, then the double-click toggles

    tree->setCurrentItem(childNamed(topItem(), "OU=West"));
    QTest::keyClick(tree, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(childNamed(topItem(), "OU=West")->childCount(), 7);

    tree->setCurrentItem(topItem());
    QTest::keyClick(tree, Qt::Key_Backspace);
    EXPECT_EQ(topItem()->text(0), "O=Acme");
    EXPECT_NE(childNamed(topItem(), "OU=Sales"), nullptr);
    QTest::keyClick(tree, Qt::Key_Backspace);
    EXPECT_EQ(topItem()->text(0), "[Root]");
    EXPECT_EQ(childTexts(topItem()), (QStringList{"C=DE", "O=Acme"}));

    QTest::mouseClick(window.button(Button::GotoStartContext), Qt::LeftButton);
    EXPECT_EQ(topItem()->text(0), "OU=Sales.O=Acme");
    EXPECT_TRUE(window.isVisible());  // Enter or Backspace never closed the window
    QTest::mouseClick(window.button(Button::Ok), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowOnSample, ButtonsReachTheController) {
    logInAsDemo();
    app_.startContext = "OU=Sales.O=Acme";
    auto& window = openWindow();
    ui_.changeContext = [](ChangeContextDialogState& dialog) {
        dialog.up();
        return true;
    };
    QTest::mouseClick(window.button(Button::ChangeStartContext), Qt::LeftButton);
    EXPECT_EQ(topItem()->text(0), "O=Acme");

    ui_.inventoryServer = [](InventoryServerDialogState& dialog) {
        dialog.server = "127.0.0.5";
        return InventoryServerAnswer::UseNow;
    };
    QTest::mouseClick(window.button(Button::InventoryServer), Qt::LeftButton);
    EXPECT_EQ(window.findChild<QLineEdit*>("inventoryServerField")->text(), "127.0.0.5");

    QTest::mouseClick(window.button(Button::SaveStartContext), Qt::LeftButton);
    QTest::mouseClick(window.button(Button::Help), Qt::LeftButton);
    QTest::mouseClick(window.button(Button::About), Qt::LeftButton);
    EXPECT_EQ(ui_.shownNames, (Texts{"OU=Sales.O=Acme", "O=Acme"}));
    EXPECT_EQ(ui_.helpTexts.size(), 1u);
    EXPECT_EQ(ui_.aboutTexts, Texts{"Version 2.1 Rev.B"});
}

TEST_F(MainWindowOnSample, WithoutClientTheWindowStillOpens) {
    environment_.set("NWCLIENT_CONFIG", (root_ / "absent.ini").string());
    app_.startTree = "ACME_TREE";
    app_.startContext = "O=Acme";
    ui_.answers = {false};
    auto& window = openWindow();
    EXPECT_EQ(window.findChild<QLineEdit*>("treeField")->text(), "No NDS Connection!");
    EXPECT_EQ(window.treeWidget()->topLevelItemCount(), 0);
    for (Button button : {Button::GotoStartContext, Button::InventoryServer,
                          Button::SearchWorkstation, Button::RemoteControl})
        EXPECT_FALSE(enabled(button)) << buttonCaption(button);
    for (Button button : {Button::NdsTree, Button::Help, Button::About, Button::Ok})
        EXPECT_TRUE(enabled(button)) << buttonCaption(button);
    QTest::keyClick(window.treeWidget(), Qt::Key_Backspace);
    QTest::keyClick(window.treeWidget(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST(Artwork, EveryImageAndButtonStateIsItsOwnPicture) {
    QList<QImage> seen;
    for (int image = 0; image < kTreeImageCount; ++image) {
        QImage drawn = iconImage(qt::treeIcon(image));
        ASSERT_EQ(drawn.size(), QSize(16, 16));
        EXPECT_FALSE(seen.contains(drawn)) << "image " << image;
        seen << drawn;
    }
    for (auto picture : {qt::Picture::NdsTree, qt::Picture::InventoryServer}) {
        QList<QImage> states;
        for (auto state : {qt::PictureState::Up, qt::PictureState::Down, qt::PictureState::Focus,
                           qt::PictureState::Disabled}) {
            QImage drawn = qt::buttonPicture(picture, state).toImage();
            EXPECT_FALSE(drawn.isNull());
            EXPECT_FALSE(states.contains(drawn));
            states << drawn;
        }
    }
}

}  // namespace
}  // namespace kestrel::browser::test
