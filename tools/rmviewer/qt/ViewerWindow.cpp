#include "ViewerWindow.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ProgramIcon.h"

namespace kestrel::rmviewer {

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* valueLabel(const SummaryRow& row) {
    auto* label = new QLabel(fromUtf8(row.value));
    label->setObjectName(fromUtf8(row.key));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    switch (row.state) {
        case SummaryRow::State::Given:
            label->setStyleSheet(QStringLiteral("font-weight: bold;"));
            break;
        case SummaryRow::State::Missing:
            label->setStyleSheet(QStringLiteral("color: palette(mid); font-style: italic;"));
            break;
        case SummaryRow::State::Problem:
            label->setStyleSheet(QStringLiteral("color: #B71C1C;"));
            break;
    }
    return label;
}

}  // namespace

ViewerWindow::ViewerWindow(QWidget* parent)
    : QDialog(parent),
      icon_(new QLabel),
      heading_(new QLabel),
      purpose_(new QLabel),
      rows_(new QFormLayout),
      notes_(new QLabel),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Close)) {
    heading_->setObjectName(QStringLiteral("heading"));
    QFont headingFont = heading_->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.4);
    headingFont.setBold(true);
    heading_->setFont(headingFont);
    purpose_->setObjectName(QStringLiteral("purpose"));
    purpose_->setWordWrap(true);
    notes_->setObjectName(QStringLiteral("notes"));
    notes_->setWordWrap(true);
    notes_->setStyleSheet(QStringLiteral("color: #B71C1C;"));
    notes_->hide();
    rows_->setLabelAlignment(Qt::AlignRight);
    rows_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    auto* titles = new QVBoxLayout;
    titles->addWidget(heading_);
    titles->addWidget(purpose_);
    auto* top = new QHBoxLayout;
    top->addWidget(icon_, 0, Qt::AlignTop);
    top->addLayout(titles, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(rows_);
    layout->addWidget(notes_);
    layout->addStretch(1);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons_->button(QDialogButtonBox::Close)->setDefault(true);
    setMinimumWidth(460);
}

void ViewerWindow::present(const Summary& summary) {
    const QIcon icon = programIcon(summary.program);
    setWindowIcon(icon);
    setWindowTitle(fromUtf8(summary.title));
    icon_->setPixmap(icon.pixmap(64, 64));
    heading_->setText(fromUtf8(summary.heading));
    purpose_->setText(fromUtf8(summary.purpose));
    while (rows_->rowCount() > 0) rows_->removeRow(0);
    for (const SummaryRow& row : summary.rows) {
        rows_->addRow(fromUtf8(row.label + ":"), valueLabel(row));
    }
    QStringList notes;
    for (const std::string& note : summary.notes) notes << fromUtf8(note);
    notes_->setText(notes.join(QLatin1Char('\n')));
    notes_->setVisible(!notes.isEmpty());
    show();
}

}  // namespace kestrel::rmviewer
