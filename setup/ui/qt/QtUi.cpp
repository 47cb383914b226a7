#include "ui/qt/QtUi.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QUrl>

#include "ui/qt/MainWindow.h"
#include "ui/qt/MessageDialog.h"
#include "ui/qt/ProgressDialog.h"
#include "ui/qt/WizardDialog.h"

namespace kestrel::setup {

QtUi::~QtUi() {
    delete progress_;
    delete mainWindow_;
}

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
    return progress_ && progress_->takeCancel();
}

PageResult QtUi::showPage(WizardPage& page, const PageActions& actions) {
    WizardDialog dialog(page, actions, window_);
    return dialog.run();
}

std::optional<std::filesystem::path> QtUi::chooseFolder(const std::filesystem::path& start) {
    const QString chosen = QFileDialog::getExistingDirectory(
        window_, QStringLiteral("Choose directory"), QString::fromStdString(start.string()));
    if (chosen.isEmpty()) return std::nullopt;
    return std::filesystem::path(chosen.toStdString());
}

ProgressDialog* QtUi::progressDialog() const {
    return progress_.data();
}

void QtUi::showProgress(const ProgressView& view) {
    if (!progress_) progress_ = new ProgressDialog(window_);
    progress_->show(view);
}

void QtUi::setClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

MainWindow* QtUi::mainWindow() const {
    return mainWindow_.data();
}

BackgroundWindow* QtUi::openMainWindow(const MainWindowContent& content) {
    delete mainWindow_;
    mainWindow_ = new MainWindow(content);
    window_ = mainWindow_.data();
    return mainWindow_.data();
}

void QtUi::showMainWindow() {
    if (!mainWindow_) return;
    mainWindow_->showAsMainWindow();
    // Drawn at once: a silent run goes on to work that pumps events only now and then.
    QCoreApplication::processEvents();
}

void QtUi::closeMainWindow() {
    if (window_ == mainWindow_) window_ = nullptr;
    delete mainWindow_;
}

bool QtUi::showTextFile(const std::filesystem::path& file) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

}  // namespace kestrel::setup
