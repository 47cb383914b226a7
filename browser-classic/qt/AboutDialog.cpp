#include "AboutDialog.h"

#include <QLabel>
#include <QPushButton>

#include "DialogUnits.h"
#include "TreeImages.h"

namespace kestrel::classic {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Info über Kestrelscope"));
    setFixedSize(dialogSize(217, 55));
    setFont(dialogFont());
    auto* icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(32, 32));
    icon->setGeometry(dialogRect(11, 17, 20, 20));
    auto* name = new QLabel(QStringLiteral("Kestrelscope"), this);
    name->setObjectName(QStringLiteral("programName"));
    name->setGeometry(dialogRect(40, 10, 119, 8));
    auto* version = new QLabel(QString::fromLatin1(kVersionText), this);
    version->setObjectName(QStringLiteral("version"));
    version->setGeometry(dialogRect(40, 25, 119, 8));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(dialogRect(178, 7, 32, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kestrel::classic
