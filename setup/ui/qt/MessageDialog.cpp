#include "ui/qt/MessageDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "messages/MessageStrings.h"
#include "ui/qt/MessageIcons.h"

namespace kestrel::setup {

namespace {

constexpr int kIconPixels = 32;

// A font's dialog base units: the average width of the alphabet and the character height.
DialogBaseUnits baseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int average = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    return {std::max(1, average), std::max(1, metrics.height())};
}

int ceilDiv(int a, int b) {
    return (a + b - 1) / b;
}

QRect toPixels(const DuRect& rect, DialogBaseUnits base) {
    return {horizontalPixels(rect.x, base), verticalPixels(rect.y, base),
            horizontalPixels(rect.width, base), verticalPixels(rect.height, base)};
}

}  // namespace

MessageDialog::MessageDialog(const MessageBoxRequest& box, std::function<void()> help,
                             QWidget* parent)
    : QDialog(parent), box_(box), help_(std::move(help)), base_(baseUnitsOf(font())) {
    setWindowTitle(QString::fromStdString(box.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (box.closable()) flags |= Qt::WindowCloseButtonHint;
    if (box.systemModal) flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    setWindowModality(box.systemModal ? Qt::ApplicationModal : Qt::WindowModal);

    const QFontMetrics metrics(font());
    const TextMeasure measure = [&](std::string_view text, int maxWidth) {
        const QRect bounds =
            metrics.boundingRect(QRect(0, 0, horizontalPixels(maxWidth, base_), 100000),
                                 Qt::TextWordWrap | Qt::TextExpandTabs,
                                 QString::fromUtf8(text.data(), static_cast<int>(text.size())));
        return DuSize{ceilDiv(bounds.width() * 4, base_.x), ceilDiv(bounds.height() * 8, base_.y)};
    };
    const DuSize icon{ceilDiv(kIconPixels * 4, base_.x), ceilDiv(kIconPixels * 8, base_.y)};
    layout_ = layoutMessageBox(box, measure, icon);

    auto* iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("icon"));
    iconLabel->setPixmap(messageIconPixmap(box.spec.icon, kIconPixels));
    iconLabel->setGeometry(toPixels(layout_.icon, base_));

    auto* textLabel = new QLabel(QString::fromStdString(box.text), this);
    textLabel->setObjectName(QStringLiteral("text"));
    textLabel->setTextFormat(Qt::PlainText);
    textLabel->setWordWrap(true);
    textLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    textLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    textLabel->setGeometry(toPixels(layout_.text, base_));

    for (std::size_t i = 0; i < layout_.buttons.size(); ++i) {
        const MessageLayout::Button& entry = layout_.buttons[i];
        auto* pushButton = new QPushButton(QString::fromStdString(entry.button.label), this);
        pushButton->setObjectName(QStringLiteral("button%1").arg(entry.button.id));
        pushButton->setGeometry(toPixels(entry.rect, base_));
        pushButton->setAutoDefault(false);
        const int id = entry.button.id;
        connect(pushButton, &QPushButton::clicked, this, [this, id] { press(id); });
        buttons_.emplace_back(id, pushButton);
        if (i == layout_.focus) {
            pushButton->setDefault(true);
            pushButton->setFocus();
        }
    }
    setFixedSize(horizontalPixels(layout_.client.width, base_),
                 verticalPixels(layout_.client.height, base_));
}

QPushButton* MessageDialog::button(int id) const {
    for (const auto& [buttonId, pushButton] : buttons_) {
        if (buttonId == id) return pushButton;
    }
    return nullptr;
}

void MessageDialog::press(int id) {
    if (id == buttons::kHelp) {
        if (help_) help_();
        return;
    }
    done(id);
}

void MessageDialog::reject() {
    if (layout_.closable) done(buttons::kCancel);
}

void MessageDialog::closeEvent(QCloseEvent* event) {
    if (!layout_.closable) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void MessageDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        if (button(buttons::kHelp)) press(buttons::kHelp);
        return;
    }
    QDialog::keyPressEvent(event);
}

void MessageDialog::showEvent(QShowEvent* event) {
    if (const QScreen* screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        const QSize frame = frameGeometry().size();
        const PixelPoint place =
            placeMessageBox(frame.width(), frame.height(), available.width(), available.height());
        move(available.x() + place.x, available.y() + place.y);
    }
    QApplication::beep();
    QDialog::showEvent(event);
}

}  // namespace kestrel::setup
