#include "ContextDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ContextNames.h"
#include "DialogUnits.h"

namespace kestrel::classic {

namespace {

QLineEdit* addField(QDialog* dialog, const QString& label, const QString& text) {
    auto* caption = new QLabel(label, dialog);
    caption->setGeometry(dialogRect(7, 9, 70, 8));
    auto* field = new QLineEdit(text, dialog);
    field->setObjectName(QStringLiteral("context"));
    field->setGeometry(dialogRect(7, 20, 270, 12));
    return field;
}

QPushButton* addButton(QDialog* dialog, const QString& text, QRect rect) {
    auto* button = new QPushButton(text, dialog);
    button->setGeometry(rect);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

ChangeContextDialog::ChangeContextDialog(const QString& context, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kestrelscope: Change Context Dialog"));
    setFixedSize(dialogSize(342, 61));
    setFont(dialogFont());
    field_ = addField(this, QStringLiteral("New NDS Context"), context);
    QPushButton* set = addButton(this, QStringLiteral("SET"), dialogRect(285, 7, 50, 14));
    set->setDefault(true);
    connect(set, &QPushButton::clicked, this, &QDialog::accept);
    connect(addButton(this, QStringLiteral("Cancel"), dialogRect(285, 24, 50, 14)),
            &QPushButton::clicked, this, &QDialog::reject);
    connect(
        addButton(this, QStringLiteral(">"), dialogRect(7, 40, 20, 14)), &QPushButton::clicked,
        this, [this] {
            field_->setText(QString::fromStdString(parentContext(field_->text().toStdString())));
        });
    connect(addButton(this, QStringLiteral("[Root]"), dialogRect(32, 40, 40, 14)),
            &QPushButton::clicked, this,
            [this] { field_->setText(QString::fromLatin1(kRootName.data(), kRootName.size())); });
}

QString ChangeContextDialog::context() const {
    return field_->text();
}

SaveContextDialog::SaveContextDialog(const QString& context, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kestrelscope: Save Context Dialog"));
    setFixedSize(dialogSize(342, 61));
    setFont(dialogFont());
    addField(this, QStringLiteral("Save NDS Context"), context)->setReadOnly(true);
    QPushButton* save = addButton(this, QStringLiteral("SAVE"), dialogRect(285, 7, 50, 14));
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(addButton(this, QStringLiteral("Cancel"), dialogRect(285, 24, 50, 14)),
            &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace kestrel::classic
