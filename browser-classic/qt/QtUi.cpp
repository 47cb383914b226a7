#include "QtUi.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

#include "ContextDialogs.h"
#include "WorkstationInfoDialog.h"

namespace kestrel::classic {

namespace {

const QString kCaption = QStringLiteral("Kestrelscope");

}  // namespace

void QtUi::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, kCaption, QString::fromStdString(text), QMessageBox::Ok,
                    window_);
    box.exec();
}

bool QtUi::askYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, kCaption, QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, window_);
    return box.exec() == QMessageBox::Yes;
}

void QtUi::beep() {
    QApplication::beep();
}

void QtUi::beginWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUi::endWaitCursor() {
    QApplication::restoreOverrideCursor();
}

std::optional<std::string> QtUi::askNewContext(const std::string& context) {
    ChangeContextDialog dialog(QString::fromStdString(context), window_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.context().toStdString();
}

bool QtUi::confirmSaveContext(const std::string& context) {
    SaveContextDialog dialog(QString::fromStdString(context), window_);
    return dialog.exec() == QDialog::Accepted;
}

void QtUi::showWorkstationInfo(const WorkstationInfo& info) {
    WorkstationInfoDialog dialog(info, window_);
    dialog.exec();
}

}  // namespace kestrel::classic
