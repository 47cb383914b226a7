#include "ui/qt/QtUi.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

#include "ui/qt/MessageDialog.h"

namespace kestrel::setup {

int QtUi::messageBox(const MessageBoxRequest& box, const std::function<void()>& help) {
    MessageDialog dialog(box, help, window_);
    // The parent is disabled while the box is up (modal to it).
    return dialog.exec();
}

void QtUi::openHelp(const std::filesystem::path& file, const std::string& topic) {
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(file.string()));
    if (!topic.empty()) url.setFragment(QString::fromStdString(topic));
    QDesktopServices::openUrl(url);
}

void QtUi::setTitle(const std::string& title) {
    if (window_) window_->setWindowTitle(QString::fromStdString(title));
}

void QtUi::setProgressText(const std::string&, const std::string&) {}

bool QtUi::cancelRequested() {
    QCoreApplication::processEvents();
    return false;
}

}  // namespace kestrel::setup
