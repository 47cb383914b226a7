#include "QtUi.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <iostream>
#include <thread>

#include "MainDialog.h"
#include "ProgramIcon.h"
#include "platform/Display.h"

namespace kestrel::rclog {

namespace {

// The platforms to try, ending with offscreen so that a display that cannot be reached
// makes Qt fall back instead of aborting; "" when there is no display to try.
std::string platformList() {
    const std::string platforms = platform::displayPlatforms();
    return platforms.empty() ? "" : platforms + ";offscreen";
}

// Windows nobody can see cannot be answered.
bool invisible(const QString& platform) {
    return platform == "offscreen" || platform == "minimal";
}

}  // namespace

QtUi::QtUi(std::string programName) : arguments_{std::move(programName)}, console_(std::cerr) {}

QtUi::~QtUi() {
    notification_.reset();
}

bool QtUi::haveDisplay() {
    if (display_ != Display::Unknown) return display_ == Display::Available;
    display_ = Display::None;
    if (QApplication::instance() != nullptr) {
        display_ = Display::Available;  // a host program's (or a test's) application
    } else if (const std::string platforms = platformList(); !platforms.empty()) {
        arguments_.insert(arguments_.end(), {"-platform", platforms});
        for (std::string& argument : arguments_) argv_.push_back(argument.data());
        argv_.push_back(nullptr);
        argc_ = static_cast<int>(arguments_.size());
        application_ = std::make_unique<QApplication>(argc_, argv_.data());
        if (invisible(QGuiApplication::platformName())) {
            application_.reset();
        } else {
            QApplication::setWindowIcon(programIcon());
            display_ = Display::Available;
        }
    }
    if (display_ == Display::Available && waitCursors_ > 0 && !cursorShown_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        cursorShown_ = true;
    }
    return display_ == Display::Available;
}

void QtUi::showMessage(const std::string& text, const std::string& caption, Icon icon) {
    if (!haveDisplay()) return console_.showMessage(text, caption, icon);
    QMessageBox box(icon == Icon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

Choice QtUi::askToContinue(const std::string& legalNotice) {
    if (!haveDisplay()) return console_.askToContinue(legalNotice);
    MainDialog dialog(QString::fromStdString(legalNotice));
    return dialog.exec() == QDialog::Accepted ? Choice::Ok : Choice::Cancel;
}

void QtUi::showNotification(const std::string& caption) {
    if (!haveDisplay()) return console_.showNotification(caption);
    if (!notification_) notification_ = std::make_unique<NotificationWindow>();
    notification_->setCaption(QString::fromStdString(caption));
    notification_->show();
    QCoreApplication::processEvents();
}

void QtUi::hideNotification() {
    if (!notification_) return;
    notification_->hide();
    QCoreApplication::processEvents();
}

void QtUi::pause(std::chrono::milliseconds duration) {
    if (display_ != Display::Available) return std::this_thread::sleep_for(duration);
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

void QtUi::beginWaitCursor() {
    ++waitCursors_;
    if (display_ == Display::Available && !cursorShown_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        cursorShown_ = true;
    }
}

void QtUi::endWaitCursor() {
    if (waitCursors_ > 0) --waitCursors_;
    if (waitCursors_ == 0 && cursorShown_) {
        QApplication::restoreOverrideCursor();
        cursorShown_ = false;
    }
}

}  // namespace kestrel::rclog
