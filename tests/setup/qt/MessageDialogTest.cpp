#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "ScriptedUi.h"
#include "messages/MessageEngine.h"
#include "ui/qt/MessageDialog.h"
#include "ui/qt/MessageIcons.h"

namespace kestrel::setup {
namespace {

MessageBoxRequest request(int number, std::vector<MessageArg> args, bool help) {
    StringTable strings;
    MessageBoxRequest box;
    box.number = number;
    box.caption = "Setup";
    box.spec = *parseMessageSpec(strings.message(number));
    box.text = formatMessage(box.spec.text, args);
    box.helpAvailable = help;
    return box;
}

TEST(MessageDialog, YesNoBoxIgnoresEscapeAndHasNoClose) {
    int helps = 0;
    MessageDialog dialog(request(5509, {}, true), [&] { ++helps; });
    dialog.open();
    ASSERT_NE(dialog.button(7), nullptr);
    EXPECT_TRUE(dialog.button(7)->isDefault());
    EXPECT_EQ(dialog.focusWidget(), dialog.button(7));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
    // Help asks for help and stays open, also through F1.
    QTest::mouseClick(dialog.button(9), Qt::LeftButton);
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(helps, 2);
    EXPECT_TRUE(dialog.isVisible());
    QTest::mouseClick(dialog.button(6), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 6);
}

TEST(MessageDialog, OkBoxClosesWithTwoOnEscape) {
    MessageDialog dialog(request(5501, {"C:\\setup\\setup.inf"}, true), [] {});
    dialog.open();
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 2);
    EXPECT_EQ(dialog.findChild<QLabel*>("text")->text(),
              "Cannot open file 'C:\\setup\\setup.inf'!");
}

TEST(MessageDialog, WithoutHelpFileOnlyOkCentred) {
    MessageDialog dialog(
        request(5501, {"a rather long file name to make the text wide.inf"}, false), [] {});
    EXPECT_EQ(dialog.button(9), nullptr);
    QPushButton* ok = dialog.button(2);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "&OK");
    const int centre = ok->geometry().center().x();
    EXPECT_LE(std::abs(centre - dialog.width() / 2), dialog.baseUnits().x);
    EXPECT_EQ(dialog.width(),
              horizontalPixels(dialog.boxLayout().client.width, dialog.baseUnits()));
}

TEST(MessageDialog, UsageShowsItsBracketsAndEveryIconDraws) {
    MessageDialog dialog(request(5541, {}, false), [] {});
    EXPECT_TRUE(dialog.findChild<QLabel*>("text")->text().startsWith("Usage: Setup [/A[S|W] /C"));
    for (MessageIcon icon : {MessageIcon::Stop, MessageIcon::Question, MessageIcon::Exclamation,
                             MessageIcon::Information}) {
        const QImage image = messageIconPixmap(icon, 32).toImage();
        EXPECT_NE(image.pixelColor(16, 20).alpha(), 0);
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    }
}

}  // namespace
}  // namespace kestrel::setup
