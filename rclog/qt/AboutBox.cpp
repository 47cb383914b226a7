#include "AboutBox.h"

#include <QLabel>
#include <QPushButton>

#include "DialogUnits.h"
#include "ProgramIcon.h"
#include "WindowTexts.h"

namespace kestrel::rclog {

AboutBox::AboutBox(const QString& legalNotice, QWidget* parent) : QDialog(parent) {
    setWindowTitle(kAboutCaption);
    setWindowIcon(programIcon());
    setFixedSize(dialogSize(*this, 217, 55));

    auto* icon = new QLabel(this);
    icon->setObjectName("icon");
    icon->setPixmap(programIcon().pixmap(32, 32));
    icon->setGeometry(dialogRect(*this, 11, 10, 20, 20));

    auto* version = new QLabel(kAboutVersion, this);
    version->setObjectName("version");
    version->setGeometry(dialogRect(*this, 40, 10, 130, 8));

    auto* legal = new QLabel(legalNotice, this);
    legal->setObjectName("legal");
    legal->setWordWrap(true);
    legal->setGeometry(dialogRect(*this, 40, 22, 130, 28));

    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    ok->setGeometry(dialogRect(*this, 178, 7, 32, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kestrel::rclog
