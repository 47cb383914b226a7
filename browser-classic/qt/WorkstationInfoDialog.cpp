#include "WorkstationInfoDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

#include "ClassCodes.h"
#include "DialogUnits.h"
#include "TreeImages.h"

namespace kestrel::classic {

namespace {

constexpr int kWorkstationImage = 16;

void addLabel(QDialog* dialog, const QString& text, QRect rect) {
    (new QLabel(text, dialog))->setGeometry(rect);
}

constexpr int kLabelWidth = 76;
constexpr int kLabelGap = 2;
// Where the column of lists begins, less a gap: the narrow fields end before it.
constexpr int kListColumnEdge = 194;

QLineEdit* addField(QDialog* dialog, const char* name, const QString& label,
                    const std::string& value, int x, int y, int width) {
    auto* caption = new QLabel(label, dialog);
    caption->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    caption->setGeometry(dialogRect(x, y + 2, kLabelWidth, 8));
    auto* field = new QLineEdit(QString::fromStdString(value), dialog);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setGeometry(dialogRect(x + kLabelWidth + kLabelGap, y, width, 12));
    return field;
}

// The width a line edit needs to show all of its text: the text, the edit's inner margins
// and a cursor's width, wrapped in the style's frame (as QLineEdit sizes its own hint).
int widthForText(QLineEdit* field) {
    constexpr int kInnerMargin = 2;  // QLineEdit's fixed horizontal margin, each side
    const QMargins text = field->textMargins();
    const QMargins contents = field->contentsMargins();
    const int width = field->fontMetrics().horizontalAdvance(field->text()) + 2 * kInnerMargin + 1 +
                      text.left() + text.right() + contents.left() + contents.right();
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
    return field->style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, field->height()), field)
        .width();
}

// Widens a field that is too narrow for its text so that none of it scrolls out of sight.
// It keeps clear of the lists on its right and takes the room from its label instead, which
// never gets narrower than its own text.
void fitToText(QDialog* dialog, QLineEdit* field) {
    const int needed = widthForText(field);
    if (needed <= field->width()) return;
    auto* label = dialog->findChild<QLabel*>(field->objectName() + QStringLiteral("Label"));
    QRect fieldRect = field->geometry();
    QRect labelRect = label->geometry();
    const int right = std::max(fieldRect.right(), dialogUnitsToPixelsX(kListColumnEdge) - 1);
    const int leftmost = labelRect.left() + label->fontMetrics().horizontalAdvance(label->text()) +
                         dialogUnitsToPixelsX(kLabelGap);
    fieldRect.setLeft(std::max(leftmost, std::min(fieldRect.left(), right + 1 - needed)));
    fieldRect.setRight(std::max(right, fieldRect.left() + needed - 1));
    labelRect.setRight(fieldRect.left() - dialogUnitsToPixelsX(kLabelGap) - 1);
    field->setGeometry(fieldRect);
    label->setGeometry(labelRect);
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
    // A time text is wider than the dialog units meant for it in most fonts.
    fitToText(this, addField(this, "lastRegistered", QStringLiteral("Last registered time"),
                             info.lastRegistered, 30, 71, 84));
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
