#include "MainDialog.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "AboutBox.h"
#include "DialogUnits.h"
#include "ProgramIcon.h"
#include "WindowTexts.h"

namespace kestrel::rclog {

namespace {

QPushButton* plainButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    // No default button: Enter must not answer for the person.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

MainDialog::MainDialog(QString legalNotice, QWidget* parent)
    : QDialog(parent), legalNotice_(std::move(legalNotice)) {
    setWindowTitle(kMainDialogCaption);
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(dialogSize(*this, 196, 77));

    warning_ = new QLabel(kContinueQuestion, this);
    warning_->setObjectName("warning");
    warning_->setAlignment(Qt::AlignCenter);
    warning_->setFrameShape(QFrame::Box);
    warning_->setAutoFillBackground(true);
    QPalette colours = warning_->palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, QColor(255, 0, 0));
    warning_->setPalette(colours);
    warning_->setGeometry(dialogRect(*this, 43, 15, 111, 18));

    cancel_ = plainButton("Cancel", this);
    cancel_->setGeometry(dialogRect(*this, 32, 48, 50, 14));
    ok_ = plainButton("OK", this);
    ok_->setGeometry(dialogRect(*this, 114, 48, 50, 14));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    menu_ = new QMenu(this);
    menu_->addAction("&Close", this, &QDialog::reject);
    menu_->addSeparator();
    menu_->addAction(kAboutMenuEntry, this, &MainDialog::showAbout);
    menuButton_ = new QToolButton(this);
    menuButton_->setIcon(programIcon());
    menuButton_->setAutoRaise(true);
    menuButton_->setToolTip("Menu");
    menuButton_->setPopupMode(QToolButton::InstantPopup);
    menuButton_->setMenu(menu_);
    menuButton_->setGeometry(2, 2, 20, 20);
}

void MainDialog::showAbout() {
    AboutBox about(legalNotice_, this);
    about.exec();
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
    menu_->popup(event->globalPos());
}

}  // namespace kestrel::rclog
