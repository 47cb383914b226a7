#include "ui/qt/WizardPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace kestrel::setup {

QPixmap wizardPicture(const QString& file) {
    if (!file.isEmpty()) {
        QPixmap picture(file);
        if (!picture.isNull()) return picture;
    }
    return builtInLogo();
}

// A box being unpacked over a blue gradient: what an installer does, without words that
// would need translating.
QPixmap builtInLogo() {
    constexpr int kWidth = 164;
    constexpr int kHeight = 312;
    QPixmap logo(kWidth, kHeight);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(0x10, 0x2a, 0x6b));
    sky.setColorAt(1, QColor(0x2f, 0x8f, 0xc8));
    painter.fillRect(logo.rect(), sky);

    const QPointF centre(kWidth / 2.0, kHeight * 0.6);
    const double size = 44;
    QPainterPath front;  // the box's front and its open lid
    front.addRect(centre.x() - size, centre.y() - size / 2, 2 * size, 1.4 * size);
    painter.setPen(QPen(QColor(0x4a, 0x30, 0x10), 2));
    painter.setBrush(QColor(0xd8, 0xa4, 0x5c));
    painter.drawPath(front);
    QPolygonF left{{centre.x() - size, centre.y() - size / 2},
                   {centre.x() - size * 1.5, centre.y() - size * 1.1},
                   {centre.x() - size * 0.4, centre.y() - size * 1.1},
                   {centre.x(), centre.y() - size / 2}};
    QPolygonF right{{centre.x() + size, centre.y() - size / 2},
                    {centre.x() + size * 1.5, centre.y() - size * 1.1},
                    {centre.x() + size * 0.4, centre.y() - size * 1.1},
                    {centre.x(), centre.y() - size / 2}};
    painter.setBrush(QColor(0xe8, 0xbc, 0x7c));
    painter.drawPolygon(left);
    painter.drawPolygon(right);

    // A disk rising out of the box.
    const QRectF disk(centre.x() - 22, centre.y() - size * 2.4, 44, 44);
    painter.setBrush(QColor(0xf0, 0xf0, 0xf0));
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
    painter.drawRoundedRect(disk, 4, 4);
    painter.setBrush(QColor(0x50, 0x60, 0x80));
    painter.drawRect(QRectF(disk.left() + 10, disk.top(), 24, 14));
    return logo;
}

}  // namespace kestrel::setup
