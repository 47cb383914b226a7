#include "InfoDialogs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Artwork.h"
#include "DialogKit.h"

namespace kestrel::browser::qt {

HelpDialog::HelpDialog(const QString& text, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kestrelscope: Help Dialog"));
    QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    auto* layout = new QVBoxLayout(this);
    auto* usage = new QLabel(lines.isEmpty() ? QString() : lines.takeFirst(), this);
    usage->setObjectName(QStringLiteral("usage"));
    QFont bold = usage->font();
    bold.setBold(true);
    usage->setFont(bold);
    usage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(usage);

    auto* frame = new QGroupBox(QStringLiteral("Options"), this);
    auto* table = new QGridLayout(frame);
    table->setHorizontalSpacing(18);
    for (int row = 0; row < lines.size(); ++row) {
        QStringList parts = lines[row].split(QLatin1Char('\t'));
        auto* name = new QLabel(parts.value(0), frame);
        name->setFont(QFont(QStringLiteral("monospace")));
        table->addWidget(name, row, 0);
        table->addWidget(new QLabel(parts.value(1), frame), row, 1);
    }
    layout->addWidget(frame);
    addOkRow(this, layout);
}

AboutDialog::AboutDialog(const QString& version, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Kestrelscope"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(programIcon().pixmap(64, 64));
    row->addWidget(picture, 0, Qt::AlignTop);
    auto* text = new QVBoxLayout;
    auto* name = new QLabel(QStringLiteral("Kestrelscope"), this);
    QFont large = name->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.4);
    name->setFont(large);
    text->addWidget(name);
    auto* versionLabel = new QLabel(version, this);
    versionLabel->setObjectName(QStringLiteral("version"));
    text->addWidget(versionLabel);
    text->addWidget(
        new QLabel(QStringLiteral("Browses the directory tree and its workstations."), this));
    text->addStretch();
    row->addLayout(text, 1);
    row->setSpacing(16);
    layout->addLayout(row);
    addOkRow(this, layout);
}

}  // namespace kestrel::browser::qt
