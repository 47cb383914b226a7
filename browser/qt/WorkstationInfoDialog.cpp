#include "WorkstationInfoDialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "DialogKit.h"

namespace kestrel::browser::qt {

namespace {

QListWidget* valueList(const QString& name, const std::vector<std::string>& values,
                       QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    for (const std::string& value : values) list->addItem(QString::fromStdString(value));
    list->setMinimumHeight(list->sizeHintForRow(0) * 4 + 2 * list->frameWidth());
    return list;
}

}  // namespace

WorkstationInfoDialog::WorkstationInfoDialog(const WorkstationInfo& info, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kestrelscope: Workstation Information Dialog"));
    setSizeGripEnabled(true);
    auto* form = new QFormLayout;
    auto addField = [&](const QString& label, const QString& name, const std::string& value) {
        QLineEdit* field = readOnlyField(name, this);
        field->setText(QString::fromStdString(value));
        field->setCursorPosition(0);
        field->setMinimumWidth(320);
        form->addRow(label, field);
    };
    addField(QStringLiteral("CN:"), QStringLiteral("cn"), info.cn);
    addField(QStringLiteral("Computer Name:"), QStringLiteral("computerName"), info.computerName);
    addField(QStringLiteral("Computer OS:"), QStringLiteral("computerOs"), info.computerOs);
    form->addRow(QStringLiteral("Network Address:"),
                 valueList(QStringLiteral("networkAddresses"), info.networkAddresses, this));
    form->addRow(QStringLiteral("User History:"),
                 valueList(QStringLiteral("userHistory"), info.userHistory, this));
    addField(QStringLiteral("Last registered time:"), QStringLiteral("lastRegistered"),
             info.lastRegistered);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    addOkRow(this, layout);
}

}  // namespace kestrel::browser::qt
