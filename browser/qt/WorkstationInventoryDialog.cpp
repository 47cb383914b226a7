#include "WorkstationInventoryDialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "DialogKit.h"

namespace kestrel::browser::qt {

namespace {

using F = InventoryField;

struct Frame {
    QString title;
    std::initializer_list<InventoryField> fields;
};

// The fields as the frames group them; a field's object name is its attribute's name.
QGroupBox* frame(const Frame& which, const WorkstationInventory& inventory, QWidget* parent) {
    auto* box = new QGroupBox(which.title, parent);
    auto* form = new QFormLayout(box);
    for (InventoryField field : which.fields) {
        const InventoryFieldInfo& info = inventoryFields()[static_cast<std::size_t>(field)];
        QLineEdit* value = readOnlyField(
            QString::fromUtf8(info.attribute.data(), static_cast<qsizetype>(info.attribute.size())),
            box);
        value->setText(QString::fromStdString(inventory[field]));
        value->setCursorPosition(0);
        value->setMinimumWidth(200);
        form->addRow(
            QString::fromUtf8(info.label.data(), static_cast<qsizetype>(info.label.size())), value);
    }
    return box;
}

}  // namespace

WorkstationInventoryDialog::WorkstationInventoryDialog(const WorkstationInventory& inventory,
                                                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kestrelscope: Workstation Inventory Dialog"));
    setSizeGripEnabled(true);

    auto* top = new QFormLayout;
    QLineEdit* cn = readOnlyField(QStringLiteral("cn"), this);
    cn->setText(QString::fromStdString(inventory.cn));
    top->addRow(QStringLiteral("CN:"), cn);

    auto* frames = new QGridLayout;
    frames->addWidget(
        frame({QStringLiteral("Machine"),
               {F::ComputerType, F::ComputerModel, F::ModelNumber, F::SerialNumber, F::AssetTag}},
              inventory, this),
        0, 0);
    frames->addWidget(
        frame({QStringLiteral("System"), {F::OsName, F::OsVersion, F::NovellClient, F::BiosType}},
              inventory, this),
        1, 0);
    frames->addWidget(
        frame({QStringLiteral("Hardware"),
               {F::ProcessorFamily, F::VideoType, F::NicType, F::PhysicalMemory, F::HardDisk}},
              inventory, this),
        0, 1);
    frames->addWidget(frame({QStringLiteral("Network"),
                             {F::IpxAddress, F::MacAddress, F::IpAddress, F::SubnetMask}},
                            inventory, this),
                      1, 1);
    QGroupBox* scan = frame({QStringLiteral("Scan"), {F::LastScanDate}}, inventory, this);
    // Two lines for the date of the last successful scan after a failed one.
    auto* note = new QPlainTextEdit(QString::fromStdString(inventory.lastScanNote), scan);
    note->setObjectName(QStringLiteral("note"));
    note->setReadOnly(true);
    note->setFocusPolicy(Qt::ClickFocus);
    note->setFixedHeight(note->fontMetrics().lineSpacing() * 2 +
                         static_cast<int>(note->document()->documentMargin() * 2) +
                         note->frameWidth() * 2);
    static_cast<QFormLayout*>(scan->layout())->addRow(QString(), note);
    frames->addWidget(scan, 2, 0, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(frames);
    addOkRow(this, layout);
}

}  // namespace kestrel::browser::qt
