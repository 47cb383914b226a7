#include "WorkstationInfoDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "ClassCodes.h"
#include "DialogUnits.h"
#include "TreeImages.h"

namespace kestrel::classic {

namespace {

constexpr int kWorkstationImage = 16;

void addLabel(QDialog* dialog, const QString& text, QRect rect) {
    (new QLabel(text, dialog))->setGeometry(rect);
}

void addField(QDialog* dialog, const char* name, const QString& label, const std::string& value,
              int x, int y, int width) {
    addLabel(dialog, label, dialogRect(x, y + 2, 76, 8));
    auto* field = new QLineEdit(QString::fromStdString(value), dialog);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setGeometry(dialogRect(x + 78, y, width, 12));
}

void addList(QDialog* dialog, const char* name, const QString& label,
             const std::vector<std::string>& values, QRect rect) {
    addLabel(dialog, label, dialogRect(rect.x(), rect.y(), rect.width(), 8));
    auto* list = new QListWidget(dialog);
    list->setObjectName(QString::fromLatin1(name));
    for (const auto& value : values) list->addItem(QString::fromStdString(value));
    list->setGeometry(dialogRect(rect.x(), rect.y() + 10, rect.width(), rect.height() - 10));
}

}  // namespace

WorkstationInfoDialog::WorkstationInfoDialog(const WorkstationInfo& info, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kestrelscope: WS Information"));
    setFixedSize(dialogSize(337, 135));
    setFont(dialogFont());
    auto* icon = new QLabel(this);
    icon->setPixmap(treeImages().at(kWorkstationImage).scaled(32, 32));
    icon->setGeometry(dialogRect(7, 7, 20, 20));
    addField(this, "cn", QStringLiteral("CN"), info.objectName, 30, 7, 222);
    addField(this, "computerName", QStringLiteral("Computer Name"), info.computerName, 30, 23, 84);
    addField(this, "computerOs", QStringLiteral("Computer OS"), info.computerOs, 30, 39, 84);
    addField(this, "physicalMemory", QStringLiteral("Physical Memory"), info.physicalMemory, 30, 55,
             84);
    addField(this, "lastRegistered", QStringLiteral("Last registered time"), info.lastRegistered,
             30, 71, 84);
    addList(this, "networkAddress", QStringLiteral("Network Address"), info.networkAddresses,
            QRect(196, 23, 134, 42));
    addList(this, "userHistory", QStringLiteral("User History"), info.userHistory,
            QRect(196, 67, 134, 61));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(dialogRect(92, 110, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kestrel::classic
