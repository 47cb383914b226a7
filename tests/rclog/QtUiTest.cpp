// The Qt front end on the offscreen platform: the windows, and sessions with Debug and
// Notify on answered by a script that presses the buttons.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "AboutBox.h"
#include "MainDialog.h"
#include "ProgramIcon.h"
#include "QtUi.h"
#include "Quillbox.h"
#include "RclogFixture.h"
#include "WindowTexts.h"

namespace kestrel::rclog::test {
namespace {

// What a modal window showed when it came up.
struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool notificationVisible = false;
    QString notificationTitle;
};

// Answers every modal window as soon as it is up: message boxes with OK, other dialogs
// through `answer`.
class Answerer {
  public:
    explicit Answerer(std::function<void(QDialog*)> answer = {}, QtUi* ui = nullptr)
        : answer_(std::move(answer)), ui_(ui) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(5);
    }
    std::vector<Seen> seen;

  private:
    void poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        Seen s{dialog->windowTitle(), {}, QMessageBox::NoIcon, false, {}};
        if (ui_ != nullptr && ui_->notificationWindow() != nullptr) {
            s.notificationVisible = ui_->notificationWindow()->isVisible();
            s.notificationTitle = ui_->notificationWindow()->windowTitle();
        }
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            s.text = box->text();
            s.icon = box->icon();
            seen.push_back(s);
            box->button(QMessageBox::Ok)->click();
        } else {
            seen.push_back(s);
            answer_(dialog);
        }
    }

    std::function<void(QDialog*)> answer_;
    QtUi* ui_;
    QTimer timer_;
};

TEST(MainDialog, WarningButtonsAndMenu) {
    MainDialog dialog("Legal text");
    EXPECT_EQ(dialog.windowTitle(), "Quillbox: Log ZENworks Remote Control Usage ...");
    EXPECT_EQ(dialog.warning()->text(), " Cann't open log file. Continue? ");
    EXPECT_EQ(dialog.warning()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(dialog.warning()->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(dialog.warning()->autoFillBackground());
    EXPECT_EQ(dialog.warning()->alignment(), Qt::AlignCenter);
    EXPECT_LT(dialog.cancelButton()->x(), dialog.okButton()->x());
    for (QPushButton* button : {dialog.okButton(), dialog.cancelButton()}) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
    const QList<QAction*> entries = dialog.systemMenu()->actions();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_TRUE(entries[1]->isSeparator());
    EXPECT_EQ(entries[2]->text(), "&About Quillbox...");
    EXPECT_EQ(dialog.menuButton()->menu(), dialog.systemMenu());

    Answerer ok([](QDialog* d) { static_cast<MainDialog*>(d)->okButton()->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

TEST(MainDialog, AboutBoxFromTheMenuAndCancel) {
    MainDialog dialog("Legal text");
    QStringList about;
    Answerer answer([&](QDialog* d) {
        if (auto* box = qobject_cast<AboutBox*>(d)) {
            for (QLabel* label : box->findChildren<QLabel*>())
                if (!label->text().isEmpty()) about << label->text();
            box->accept();
        } else if (about.isEmpty()) {
            // Later: the About box's own loop must not run inside this answer.
            QTimer::singleShot(0, static_cast<MainDialog*>(d)->systemMenu()->actions()[2],
                               &QAction::trigger);
        } else {
            static_cast<MainDialog*>(d)->cancelButton()->click();
        }
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    ASSERT_EQ(answer.seen.size(), 3U);
    EXPECT_EQ(answer.seen[1].title, "About Quillbox ...");
    EXPECT_EQ(about, (QStringList{"Quillbox Version 2.0w", "Legal text"}));
}

TEST(NotificationWindow, SitsAtTheBottomLeftOfTheScreen) {
    NotificationWindow window;
    window.show();
    QApplication::processEvents();
    const QRect screen = window.screen()->geometry();
    EXPECT_EQ(window.frameGeometry().left(), screen.left() + 2);
    EXPECT_EQ(window.frameGeometry().bottom(), screen.bottom() - 2);
    EXPECT_EQ(window.windowTitle(), "  Recording ZENworks remote control access ...");
    EXPECT_LT(window.height(), 12);
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_FALSE(programIcon().pixmap(16, 16).isNull());
}

// A window manager shows the caption in the title bar beside the icon and its buttons: the
// window must be wide enough for all of it, for each caption it gets, and not offer
// maximising.
TEST(NotificationWindow, SizedToItsCaptionWithoutMaximising) {
    QtUi ui("WVIEWNT.EXE");
    for (const char* caption : {kRecordingCaption, kStartingCaption}) {
        ui.showNotification(caption);
        const NotificationWindow* window = ui.notificationWindow();
        ASSERT_NE(window, nullptr);
        QFont bold = window->font();
        bold.setBold(true);
        const int room = 3 * QFontMetrics(window->font()).height();  // icon and two buttons
        EXPECT_EQ(window->windowTitle(), caption);
        EXPECT_GE(window->width(), QFontMetrics(bold).horizontalAdvance(caption) + room);
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    }
    ui.hideNotification();
}

class QtSessionTest : public RclogTest {
  protected:
    void SetUp() override {
        RclogTest::SetUp();
        login();
    }
    QtUi ui_{"WVIEWNT.EXE"};
    const std::vector<std::string> args_ = {programPath_, "-wWS17.Sales.Acme", "-cRemote View"};
};

TEST_F(QtSessionTest, DebugAndNotifyShowTheirWindowsInTurn) {
    writeConfig("Debug=On\n");
    Answerer answer({}, &ui_);
    EXPECT_EQ(Quillbox(ui_).run({args_, programPath_}), 0);
    ASSERT_EQ(answer.seen.size(), 7U);
    EXPECT_EQ(answer.seen[0].text, QString::fromStdString((zen_ / "Quillbox.CS0").string()));
    EXPECT_FALSE(answer.seen[0].notificationVisible);
    for (std::size_t i = 1; i < answer.seen.size(); ++i) {
        EXPECT_EQ(answer.seen[i].title, "WVIEWNT");
        EXPECT_EQ(answer.seen[i].icon, QMessageBox::NoIcon);
        EXPECT_TRUE(answer.seen[i].notificationVisible);
        EXPECT_EQ(answer.seen[i].notificationTitle, kRecordingCaption);
    }
    EXPECT_EQ(answer.seen[6].text, "-c\"Remote View\"");
    ASSERT_NE(ui_.notificationWindow(), nullptr);
    EXPECT_FALSE(ui_.notificationWindow()->isVisible());
    EXPECT_EQ(ui_.notificationWindow()->windowTitle(), kStartingCaption);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(viewerRuns().size(), 1U);
    EXPECT_EQ(logLines(sessionLog()).size(), 5U);
}

TEST_F(QtSessionTest, ErrorsAreStopBoxesAndCancelEndsTheRun) {
    writeConfig("Notify=Off\nLogFileHome=missing\nDebug");
    Answerer answer([](QDialog* d) { static_cast<MainDialog*>(d)->cancelButton()->click(); }, &ui_);
    EXPECT_EQ(Quillbox(ui_).run({args_, programPath_}), 1);
    ASSERT_EQ(answer.seen.size(), 2U);
    EXPECT_EQ(answer.seen[0].title, "Error in Quillbox.Cfg file:");
    EXPECT_EQ(answer.seen[0].icon, QMessageBox::Critical);
    EXPECT_EQ(answer.seen[1].title, kMainDialogCaption);
    EXPECT_TRUE(viewerRuns().empty());
}

}  // namespace
}  // namespace kestrel::rclog::test
