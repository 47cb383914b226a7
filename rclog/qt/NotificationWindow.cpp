#include "NotificationWindow.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "DialogUnits.h"
#include "ProgramIcon.h"
#include "WindowTexts.h"

namespace kestrel::rclog {

namespace {

// Title bars usually show their text in bold, beside the icon on the left and up to three
// buttons on the right, each about a line high, with a margin at both ends.
constexpr int kTitleBarLineHeights = 5;

int titleBarWidth(const QWidget& window, const QString& caption) {
    QFont bold = window.font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(caption) +
           kTitleBarLineHeights * QFontMetrics(window.font()).height();
}

}  // namespace

NotificationWindow::NotificationWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowIcon(programIcon());
    // It reports; it must not take the keyboard from the person's work.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCaption(kRecordingCaption);
}

void NotificationWindow::setCaption(const QString& caption) {
    setWindowTitle(caption);
    const QSize dialog = dialogSize(*this, 195, 3);
    setFixedSize(std::max(dialog.width(), titleBarWidth(*this, caption)), dialog.height());
}

void NotificationWindow::placeAtBottomLeft() {
    const QScreen* target = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (target == nullptr) return;
    const QRect area = target->geometry();
    const QRect frame = frameGeometry();
    placedFrame_ = frame.size();
    move(area.left() + 2, area.bottom() + 1 - 2 - frame.height());
}

void NotificationWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    placeAtBottomLeft();
}

// A window manager adds its frame only after the window is shown; the place is worked out
// again once the frame is known.
void NotificationWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (isVisible() && frameGeometry().size() != placedFrame_) placeAtBottomLeft();
}

}  // namespace kestrel::rclog
