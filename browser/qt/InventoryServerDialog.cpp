#include "InventoryServerDialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "DialogKit.h"

namespace kestrel::browser::qt {

InventoryServerDialog::InventoryServerDialog(InventoryServerDialogState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setWindowTitle(QStringLiteral("Kestrelscope: Inventory Server Dialog"));

    auto* frame = new QGroupBox(QStringLiteral("ZENworks Inventory Database Server"), this);
    auto* fields = new QVBoxLayout(frame);
    auto* server = new QLineEdit(QString::fromStdString(state.server), frame);
    server->setObjectName(QStringLiteral("server"));
    server->setMinimumWidth(240);
    auto* label = new QLabel(QStringLiteral("&Server:"), frame);
    label->setBuddy(server);
    fields->addWidget(label);
    fields->addWidget(server);
    const std::pair<InventoryServerKind, QString> kinds[] = {
        {InventoryServerKind::IpAddress, QStringLiteral("IP Address")},
        {InventoryServerKind::DnsName, QStringLiteral("DNS Name")},
        {InventoryServerKind::DirectoryName, QStringLiteral("Directory Name")}};
    auto* kindRow = new QHBoxLayout;
    for (const auto& [kind, text] : kinds) {
        auto* choice = new QRadioButton(text, frame);
        choice->setEnabled(InventoryServerDialogState::selectable(kind));
        choice->setChecked(kind == state.kind);
        kindRow->addWidget(choice);
    }
    fields->addLayout(kindRow);
    connect(server, &QLineEdit::textChanged, this,
            [this](const QString& text) { state_.server = text.toStdString(); });

    auto* useNow = dialogButton(QStringLiteral("Use &Now"), QStringLiteral("useNow"), this);
    auto* useSave = dialogButton(QStringLiteral("Use / &Save"), QStringLiteral("useSave"), this);
    auto* cancel = dialogButton(QStringLiteral("Cancel"), QStringLiteral("cancel"), this);
    useNow->setDefault(true);
    connect(useNow, &QPushButton::clicked, this, [this] { close(InventoryServerAnswer::UseNow); });
    connect(useSave, &QPushButton::clicked, this,
            [this] { close(InventoryServerAnswer::UseAndSave); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttonColumn({useNow, useSave, cancel}));
}

void InventoryServerDialog::close(InventoryServerAnswer answer) {
    answer_ = answer;
    accept();
}

}  // namespace kestrel::browser::qt
