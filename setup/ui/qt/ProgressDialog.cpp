#include "ui/qt/ProgressDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "ui/qt/ElidedLabel.h"

namespace kestrel::setup {

namespace {
QLabel* textLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}
}  // namespace

ProgressDialog::ProgressDialog(QWidget* parent)
    : QDialog(parent),
      firstLabel_(textLabel(this)),
      first_(new ElidedLabel(this)),
      secondLabel_(textLabel(this)),
      second_(new ElidedLabel(this)),
      meter_(textLabel(this)),
      bar_(new QProgressBar(this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      help_(new QPushButton(QStringLiteral("&Help"), this)) {
    setModal(false);
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    meter_->setAlignment(Qt::AlignCenter);
    auto* grid = new QGridLayout(this);
    grid->addWidget(firstLabel_, 0, 0);
    grid->addWidget(first_, 0, 1);
    grid->addWidget(secondLabel_, 1, 0);
    grid->addWidget(second_, 1, 1);
    grid->addWidget(bar_, 2, 0, 1, 2);
    grid->addWidget(meter_, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    buttons->addWidget(help_);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(420);
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
    connect(help_, &QPushButton::clicked, this, [this] {
        if (helpAction_) helpAction_();
    });
}

void ProgressDialog::show(const ProgressView& view) {
    setWindowTitle(QString::fromStdString(view.title));
    firstLabel_->setText(QString::fromStdString(view.firstLabel));
    first_->setText(QString::fromStdString(view.first));
    secondLabel_->setText(QString::fromStdString(view.secondLabel));
    second_->setText(QString::fromStdString(view.second));
    bar_->setValue(view.percent);
    bar_->setVisible(view.meterVisible);
    meter_->setText(QString::fromStdString(view.meter));
    cancel_->setVisible(view.cancelVisible);
    help_->setVisible(view.helpVisible);
    helpAction_ = view.help;
    setVisible(view.visible);
}

bool ProgressDialog::takeCancel() {
    const bool cancelled = cancelled_;
    cancelled_ = false;
    return cancelled;
}

// Closing is not ending: the core asks first and the window stays until the work stops.
void ProgressDialog::reject() {
    if (cancel_->isVisible()) cancelled_ = true;
}

}  // namespace kestrel::setup
