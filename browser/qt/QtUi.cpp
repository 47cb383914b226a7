#include "QtUi.h"

#include <QApplication>
#include <QMessageBox>

#include "ContextDialogs.h"
#include "InfoDialogs.h"
#include "InventoryServerDialog.h"
#include "LoginDialog.h"
#include "ToolDialogs.h"
#include "TreeDialog.h"
#include "WorkstationInfoDialog.h"
#include "WorkstationInventoryDialog.h"

namespace kestrel::browser::qt {

namespace {

QMessageBox::StandardButton ask(QWidget* owner, const std::string& text,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, kProgramName, QString::fromStdString(text), buttons,
                    owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

// Shows the dialog for `state` modally; true when its accepting button closed it.
template <typename Window, typename State>
bool accepted(State& state, QWidget* owner) {
    Window window(state, owner);
    return window.exec() == QDialog::Accepted;
}

}  // namespace

QWidget* QtUi::owner() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

void QtUi::showMessage(const std::string& text) {
    ask(owner(), text, QMessageBox::Ok);
}

bool QtUi::askYesNo(const std::string& text) {
    return ask(owner(), text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtUi::beginWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUi::endWaitCursor() {
    QApplication::restoreOverrideCursor();
}

bool QtUi::runLoginDialog(LoginDialogState& dialog) {
    return accepted<LoginDialog>(dialog, owner());
}

InventoryServerAnswer QtUi::runInventoryServerDialog(InventoryServerDialogState& dialog) {
    InventoryServerDialog window(dialog, owner());
    window.exec();
    return window.answer();
}

bool QtUi::runSaveContextDialog(SaveContextDialogState& dialog) {
    return accepted<SaveContextDialog>(dialog, owner());
}

bool QtUi::runChangeContextDialog(ChangeContextDialogState& dialog) {
    return accepted<ChangeContextDialog>(dialog, owner());
}

bool QtUi::runShortcutDialog(ShortcutDialogState& dialog) {
    return accepted<ShortcutDialog>(dialog, owner());
}

bool QtUi::runSearchDialog(SearchDialogState& dialog) {
    return accepted<SearchDialog>(dialog, owner());
}

bool QtUi::runTreeDialog(TreeDialogState& dialog) {
    return accepted<TreeDialog>(dialog, owner());
}

void QtUi::showWorkstationInfo(const WorkstationInfo& info) {
    WorkstationInfoDialog(info, owner()).exec();
}

void QtUi::showWorkstationInventory(const WorkstationInventory& inventory) {
    WorkstationInventoryDialog(inventory, owner()).exec();
}

void QtUi::showHelp(const std::string& text) {
    HelpDialog(QString::fromStdString(text), owner()).exec();
}

void QtUi::showAbout(const std::string& version) {
    AboutDialog(QString::fromStdString(version), owner()).exec();
}

}  // namespace kestrel::browser::qt
