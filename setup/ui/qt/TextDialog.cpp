#include "ui/qt/TextDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel::setup {

namespace {

// Wide enough for a path as a port name.
constexpr int kEditWidthInCharacters = 40;

}  // namespace

TextDialog::TextDialog(const TextRequest& request, QWidget* parent)
    : QDialog(parent), edit_(new QLineEdit(this)) {
    setWindowTitle(QString::fromStdString(request.title));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);

    auto* prompt = new QLabel(QString::fromStdString(request.prompt), this);
    prompt->setObjectName(QStringLiteral("prompt"));
    prompt->setTextFormat(Qt::PlainText);
    prompt->setWordWrap(true);
    prompt->setBuddy(edit_);
    edit_->setObjectName(QStringLiteral("text"));
    edit_->setText(QString::fromStdString(request.preset));
    edit_->selectAll();
    edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * kEditWidthInCharacters);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto allowOk = [this] { ok_->setEnabled(!text().empty()); };
    connect(edit_, &QLineEdit::textChanged, this, allowOk);
    allowOk();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    edit_->setFocus();
}

std::string TextDialog::text() const {
    return edit_->text().trimmed().toStdString();
}

std::optional<std::string> TextDialog::run() {
    if (exec() != QDialog::Accepted || text().empty()) return std::nullopt;
    return text();
}

}  // namespace kestrel::setup
