#include "ToolDialogs.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "DialogKit.h"

namespace kestrel::browser::qt {

namespace {

// The frame on the left and the dialog's two buttons in a column beside it.
void frameWithButtons(QDialog* dialog, QWidget* frame, QPushButton* accept, QPushButton* cancel) {
    accept->setDefault(true);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* layout = new QHBoxLayout(dialog);
    layout->addWidget(frame, 1);
    layout->addLayout(buttonColumn({accept, cancel}));
}

}  // namespace

ShortcutDialog::ShortcutDialog(ShortcutDialogState& state, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kestrelscope: Shortcut Selection Dialog"));
    auto* frame = new QGroupBox(QStringLiteral("Select Function"), this);
    auto* choices = new QVBoxLayout(frame);
    auto* group = new QButtonGroup(this);
    const auto functions = ShortcutDialogState::choices();
    for (std::size_t i = 0; i < functions.size(); ++i) {
        const auto caption = workstationFunction(functions[i]).button;
        auto* choice = new QRadioButton(QString::fromUtf8(caption.data(), caption.size()), frame);
        choice->setChecked(state.chosen == functions[i]);
        group->addButton(choice, static_cast<int>(i));
        choices->addWidget(choice);
    }

    auto* ok = dialogButton(QStringLiteral("OK"), QStringLiteral("ok"), this);
    auto* cancel = dialogButton(QStringLiteral("Cancel"), QStringLiteral("cancel"), this);
    connect(ok, &QPushButton::clicked, this, [this, &state, group, functions] {
        const int checked = group->checkedId();
        if (checked >= 0) state.chosen = functions[static_cast<std::size_t>(checked)];
        accept();
    });
    frameWithButtons(this, frame, ok, cancel);
}

SearchDialog::SearchDialog(SearchDialogState& state, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kestrelscope: Search Workstation Dialog"));
    auto* frame = new QWidget(this);
    auto* fields = new QVBoxLayout(frame);
    fields->setContentsMargins(0, 0, 0, 0);
    auto* pattern = new QLineEdit(QString::fromStdString(state.pattern), frame);
    pattern->setObjectName(QStringLiteral("pattern"));
    pattern->setMinimumWidth(260);
    auto* label = new QLabel(QStringLiteral("&Workstation search pattern:"), frame);
    label->setBuddy(pattern);
    fields->addWidget(label);
    fields->addWidget(pattern);
    fields->addStretch();

    auto* search = dialogButton(QStringLiteral("&Search"), QStringLiteral("search"), this);
    auto* cancel = dialogButton(QStringLiteral("Cancel"), QStringLiteral("cancel"), this);
    connect(search, &QPushButton::clicked, this, [this, &state, pattern] {
        state.pattern = pattern->text().toStdString();
        accept();
    });
    frameWithButtons(this, frame, search, cancel);
    pattern->setFocus();
}

}  // namespace kestrel::browser::qt
