#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "Invocation.h"
#include "ViewerWindow.h"

namespace kestrel::rmviewer {
namespace {

QString labelText(const QWidget& window, const char* name) {
    const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text() : QStringLiteral("<no label %1>").arg(name);
}

TEST(RmViewerWindow, ShowsFunctionWorkstationAndTree) {
    ViewerWindow window;
    Summary summary = summarise(
        parseInvocation({"WVIEWNT.EXE", "-wWS17.Sales.Acme", "-nACME_TREE", "-cRemote View"}));
    window.present(summary);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "WVIEWNT.EXE - Remote View - WS17.Sales.Acme");
    EXPECT_TRUE(labelText(window, "function").startsWith("Remote View"));
    EXPECT_EQ(labelText(window, "target"), "WS17.Sales.Acme");
    EXPECT_EQ(labelText(window, "tree"), "ACME_TREE");
    EXPECT_TRUE(labelText(window, "program").startsWith("WVIEWNT.EXE"));
    EXPECT_EQ(labelText(window, "heading"), "WVIEWNT.EXE stand-in");
    EXPECT_EQ(window.findChild<QLabel*>("inventoryServer"), nullptr);
    EXPECT_FALSE(window.findChild<QLabel*>("notes")->isVisible());
    EXPECT_FALSE(window.windowIcon().isNull());
}

TEST(RmViewerWindow, ShowsWhatIsMissingAndTheNotes) {
    ViewerWindow window;
    Summary summary = summarise(parseInvocation({"DESKTOP.EXE", "-cInventory", "extra"}));
    summary.notes.push_back("This start could not be recorded");
    window.present(summary);
    EXPECT_EQ(labelText(window, "target"), kNotGiven);
    EXPECT_EQ(labelText(window, "inventoryServer"), kNotGiven);
    EXPECT_EQ(labelText(window, "unrecognised"), "\"extra\"");
    EXPECT_TRUE(window.findChild<QLabel*>("notes")->isVisible());

    // Presenting again replaces the rows.
    window.present(summarise(parseInvocation({"DESKTOP.EXE", "-wWS2"})));
    EXPECT_EQ(labelText(window, "target"), "WS2");
    EXPECT_EQ(window.findChild<QLabel*>("unrecognised"), nullptr);
    EXPECT_FALSE(window.findChild<QLabel*>("notes")->isVisible());
}

TEST(RmViewerWindow, CloseButtonFinishesTheWindow) {
    ViewerWindow window;
    window.present(summarise(parseInvocation({"DESKTOP.EXE", "-wWS1", "-cChat"})));
    QSignalSpy finished(&window, &QDialog::finished);
    QPushButton* close = nullptr;
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (button->text().remove('&') == "Close") close = button;
    }
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace kestrel::rmviewer
