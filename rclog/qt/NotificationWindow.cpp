#include "NotificationWindow.h"

#include <QGuiApplication>
#include <QScreen>

#include "DialogUnits.h"
#include "ProgramIcon.h"
#include "WindowTexts.h"

namespace kestrel::rclog {

NotificationWindow::NotificationWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(kRecordingCaption);
    setWindowIcon(programIcon());
    // It reports; it must not take the keyboard from the person's work.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(dialogSize(*this, 195, 3));
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
