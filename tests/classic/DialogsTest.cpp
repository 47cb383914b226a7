// The dialogs, the drawn images and the automation service on a private bus.
#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

#include "AboutDialog.h"
#include "AutomationService.h"
#include "ContextDialogs.h"
#include "DialogUnits.h"
#include "TreeImages.h"
#include "WorkstationInfoDialog.h"

namespace kestrel::classic {
namespace {

QPushButton* button(QWidget* dialog, const QString& text) {
    for (auto* candidate : dialog->findChildren<QPushButton*>())
        if (candidate->text() == text) return candidate;
    return nullptr;
}

TEST(ContextDialogs, UpAndRootButtonsEditTheContext) {
    ChangeContextDialog dialog("OU=A.OU=B.O=C");
    EXPECT_EQ(dialog.windowTitle(), "Kestrelscope: Change Context Dialog");
    EXPECT_EQ(dialog.size(), dialogSize(342, 61));
    QTest::mouseClick(button(&dialog, ">"), Qt::LeftButton);
    QTest::mouseClick(button(&dialog, ">"), Qt::LeftButton);
    EXPECT_EQ(dialog.context(), "O=C");
    QTest::mouseClick(button(&dialog, "[Root]"), Qt::LeftButton);
    EXPECT_EQ(dialog.context(), "[Root]");
    QTest::mouseClick(button(&dialog, "SET"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(ContextDialogs, SaveShowsTheContextReadOnly) {
    SaveContextDialog dialog("OU=Sales.O=Acme");
    EXPECT_EQ(dialog.windowTitle(), "Kestrelscope: Save Context Dialog");
    auto* field = dialog.findChild<QLineEdit*>("context");
    EXPECT_EQ(field->text(), "OU=Sales.O=Acme");
    EXPECT_TRUE(field->isReadOnly());
    ASSERT_NE(button(&dialog, "SAVE"), nullptr);
    QTest::mouseClick(button(&dialog, "Cancel"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(AboutDialog, ShowsTheVersion) {
    AboutDialog about;
    EXPECT_EQ(about.findChild<QLabel*>("version")->text(), "Version 1.2 Rev.A");
    EXPECT_EQ(about.findChild<QLabel*>("programName")->text(), "Kestrelscope");
    EXPECT_NE(button(&about, "OK"), nullptr);
}

TEST(WorkstationInfoDialog, ShowsEveryField) {
    WorkstationInfo info{".CN=WS1.O=Acme",       "WS1", "WINNT",
                         {"01:02", "127.0.0.1"}, "64",  {"CN=a.O=Acme", "CN=b.O=Acme"},
                         "01-Jan-1999 00:00:00"};
    WorkstationInfoDialog dialog(info);
    EXPECT_EQ(dialog.windowTitle(), "Kestrelscope: WS Information");
    EXPECT_EQ(dialog.size(), dialogSize(337, 135));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("cn")->text(), ".CN=WS1.O=Acme");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("lastRegistered")->text(), "01-Jan-1999 00:00:00");
    EXPECT_EQ(dialog.findChild<QListWidget*>("networkAddress")->count(), 2);
    EXPECT_EQ(dialog.findChild<QListWidget*>("userHistory")->item(1)->text(), "CN=b.O=Acme");
}

// A line edit too narrow for its text scrolls it so that the cursor at its end shows and
// the first characters are cut off; shown whole, the end of the text lies further right than
// the text is wide.
TEST(WorkstationInfoDialog, TheLastRegisteredTimeShowsWhole) {
    for (const char* time : {"07-Okt-1999 14:05:09", "28-Dez-2026 23:58:58"}) {
        WorkstationInfo info{".CN=WS1.O=Acme", "WS1", "WINNT", {}, "64", {}, time};
        WorkstationInfoDialog dialog(info);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        auto* field = dialog.findChild<QLineEdit*>("lastRegistered");
        field->grab();  // lays the text out as painting does
        EXPECT_GE(field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x(),
                  field->fontMetrics().horizontalAdvance(field->text()))
            << time;
        // It stays inside the dialog and leaves its label room for its text.
        EXPECT_LE(field->geometry().right(), dialog.width());
        auto* label = dialog.findChild<QLabel*>("lastRegisteredLabel");
        ASSERT_NE(label, nullptr);
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        EXPECT_LT(label->geometry().right(), field->geometry().left());
    }
}

TEST(TreeImages, EighteenDistinctImagesOf17Pixels) {
    const auto& images = treeImages();
    ASSERT_EQ(images.size(), 18);
    QSet<QByteArray> distinct;
    for (const QPixmap& image : images) {
        EXPECT_EQ(image.size(), QSize(17, 17));
        QImage pixels = image.toImage();
        distinct.insert(
            QByteArray(reinterpret_cast<const char*>(pixels.constBits()), pixels.sizeInBytes()));
    }
    EXPECT_EQ(distinct.size(), 18);
    EXPECT_FALSE(programIcon().isNull());
}

TEST(AutomationService, WithoutABusNothingIsRegistered) {
    QWidget window;
    AutomationService service(&window,
                              QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "nobus"));
    EXPECT_FALSE(service.registerOnSessionBus());
}

// A bus of our own, so that no test touches the user's session.
class PrivateBus {
  public:
    PrivateBus() {
        QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty()) return;
        process_.start(daemon, {"--session", "--nofork", "--print-address=1"});
        if (process_.waitForReadyRead(5000))
            address_ = QString::fromUtf8(process_.readLine()).trimmed();
    }
    ~PrivateBus() {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    const QString& address() const { return address_; }

  private:
    QProcess process_;
    QString address_;
};

TEST(AutomationService, TakesTheNameAndBringsTheWindowForward) {
    PrivateBus bus;
    if (bus.address().isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    QWidget window;
    {
        AutomationService service(&window, QDBusConnection::connectToBus(bus.address(), "server"));
        ASSERT_TRUE(service.registerOnSessionBus());
        QDBusConnection client = QDBusConnection::connectToBus(bus.address(), "client");
        EXPECT_TRUE(client.interface()->isServiceRegistered("Kestrelscope.Application"));
        // The calls are served by this thread's event loop: no blocking calls (nor an
        // interface object, which would introspect), wait for the answers with the loop.
        auto call = [&](const char* interface, const char* method, QVariantList arguments) {
            QDBusMessage message = QDBusMessage::createMethodCall(
                "Kestrelscope.Application", "/Kestrelscope/Application", interface, method);
            message.setArguments(arguments);
            return client.asyncCall(message, 5000);
        };
        QDBusPendingReply<QDBusVariant> classId =
            call("org.freedesktop.DBus.Properties", "Get", {"Kestrelscope.Application", "ClassId"});
        QTRY_VERIFY_WITH_TIMEOUT(classId.isFinished(), 5000);
        EXPECT_EQ(classId.value().variant().toString(), "{3ADEB2F0-A4E4-11D2-BDB4-0080C70ECDA6}");
        QDBusPendingCall activate = call("Kestrelscope.Application", "Activate", {});
        QTRY_VERIFY_WITH_TIMEOUT(activate.isFinished(), 5000);
        EXPECT_FALSE(activate.isError()) << activate.error().message().toStdString();
        EXPECT_TRUE(window.isVisible());
    }
    QDBusConnection client = QDBusConnection::connectToBus(bus.address(), "client");
    QTRY_VERIFY_WITH_TIMEOUT(
        !client.interface()->isServiceRegistered("Kestrelscope.Application").value(), 5000);
}

}  // namespace
}  // namespace kestrel::classic
