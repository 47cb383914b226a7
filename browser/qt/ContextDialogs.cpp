#include "ContextDialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "DialogKit.h"

namespace kestrel::browser::qt {

namespace {

// The framed name field that both dialogs show, with their buttons beside it.
QLineEdit* contextField(QDialog* dialog, const QString& title, const std::string& name,
                        std::initializer_list<QPushButton*> buttons) {
    dialog->setWindowTitle(title);
    auto* frame = new QGroupBox(QStringLiteral("Start Context"), dialog);
    auto* field = new QLineEdit(QString::fromStdString(name), frame);
    field->setObjectName(QStringLiteral("context"));
    field->setMinimumWidth(320);
    auto* fields = new QHBoxLayout(frame);
    fields->addWidget(field);
    auto* layout = new QHBoxLayout(dialog);
    layout->addWidget(frame, 1);
    layout->addLayout(buttonColumn(buttons));
    return field;
}

}  // namespace

SaveContextDialog::SaveContextDialog(SaveContextDialogState& state, QWidget* parent)
    : QDialog(parent) {
    auto* clear = dialogButton(QStringLiteral("CLEAR"), QStringLiteral("clear"), this);
    auto* save = dialogButton(QStringLiteral("SAVE"), QStringLiteral("save"), this);
    auto* cancel = dialogButton(QStringLiteral("Cancel"), QStringLiteral("cancel"), this);
    QLineEdit* field = contextField(this, QStringLiteral("Kestrelscope: Save Context Dialog"),
                                    state.value, {clear, save, cancel});
    field->setReadOnly(true);
    save->setDefault(true);
    connect(clear, &QPushButton::clicked, this, [&state, field] {
        state.clear();
        field->setText(QString::fromStdString(state.value));
    });
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ChangeContextDialog::ChangeContextDialog(ChangeContextDialogState& state, QWidget* parent)
    : QDialog(parent) {
    auto* up = dialogButton(QStringLiteral(">"), QStringLiteral("up"), this);
    auto* root = dialogButton(QStringLiteral("[Root]"), QStringLiteral("root"), this);
    auto* set = dialogButton(QStringLiteral("SET"), QStringLiteral("set"), this);
    auto* cancel = dialogButton(QStringLiteral("Cancel"), QStringLiteral("cancel"), this);
    up->setToolTip(QStringLiteral("One level up"));
    QLineEdit* field = contextField(this, QStringLiteral("Kestrelscope: Change Context Dialog"),
                                    state.field, {up, root, set, cancel});
    set->setDefault(true);
    connect(field, &QLineEdit::textEdited, this,
            [&state](const QString& text) { state.field = text.toStdString(); });
    auto show = [&state, field] { field->setText(QString::fromStdString(state.field)); };
    connect(up, &QPushButton::clicked, this, [&state, show] {
        state.up();
        show();
    });
    connect(root, &QPushButton::clicked, this, [&state, show] {
        state.root();
        show();
    });
    connect(set, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace kestrel::browser::qt
