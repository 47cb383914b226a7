#include "ui/qt/QtUi.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

#include "ui/qt/MainWindow.h"
#include "ui/qt/MessageDialog.h"
#include "ui/qt/ProgressDialog.h"
#include "ui/qt/TextDialog.h"
#include "ui/qt/WizardDialog.h"

namespace kestrel::setup {

namespace {

// Longer than the pause between two calls while a program is waited for.
constexpr int kWaitOverDelayMs = 250;

// The progress window inside the main window's client area where CopyDialogRect puts it.
void placeProgress(ProgressDialog& dialog, const ProgressPlacement& placement, QWidget* window) {
    if (placement.popup || !window) return;
    dialog.adjustSize();
    const CopyDialogRect rect = placement.rect.value_or(CopyDialogRect{});
    const PixelRect place = placeCopyDialog(rect, window->width(), window->height(), dialog.width(),
                                            dialog.height(), window->logicalDpiY());
    dialog.move(window->mapToGlobal(QPoint(place.x, place.y)));
}

void setInputEnabled(QWidget* widget, bool enabled) {
    if (widget) widget->setEnabled(enabled);
}

}  // namespace

QtUi::QtUi(QWidget* window) : window_(window) {
    waitOver_.setSingleShot(true);
    QObject::connect(&waitOver_, &QTimer::timeout, [this] {
        setInputEnabled(window_, true);
        setInputEnabled(progress_, true);
    });
}

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

std::optional<std::string> QtUi::askText(const TextRequest& request) {
    TextDialog dialog(request, window_);
    return dialog.run();
}

ProgressDialog* QtUi::progressDialog() const {
    return progress_.data();
}

void QtUi::showProgress(const ProgressView& view) {
    QWidget* parent = view.placement.popup ? nullptr : window_.data();
    // A window of its own when uninstalling, inside the main window otherwise.
    if (progress_ && progress_->parentWidget() != parent) delete progress_;
    const bool fresh = !progress_;
    if (fresh) progress_ = new ProgressDialog(parent);
    const bool appearing = view.visible && !progress_->isVisible();
    progress_->show(view);
    if (fresh || appearing) placeProgress(*progress_, view.placement, window_);
    // Drawn at once: what follows may keep the event loop waiting for a while.
    if (appearing) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::waitingForProgram() {
    setInputEnabled(window_, false);
    setInputEnabled(progress_, false);
    waitOver_.start(kWaitOverDelayMs);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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

void QtUi::raiseMainWindow() {
    if (!mainWindow_ || !mainWindow_->isVisible()) return;
    mainWindow_->raise();
    mainWindow_->activateWindow();
    QCoreApplication::processEvents();
}

void QtUi::closeMainWindow() {
    if (window_ == mainWindow_) window_ = nullptr;
    delete mainWindow_;
}

void QtUi::note(const std::string& line) {
    QMessageBox::information(window_, window_ ? window_->windowTitle() : QString(),
                             QString::fromStdString(line));
}

bool QtUi::showTextFile(const std::filesystem::path& file) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

}  // namespace kestrel::setup
