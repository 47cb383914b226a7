#include "ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kestrel::rclog {

namespace {

// Drawn on a 32 by 32 grid and scaled, so every size shows the same picture.
QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    // The log book: a box with ruled lines.
    painter.setPen(QPen(QColor(20, 60, 70), 1.5));
    painter.setBrush(QColor(40, 120, 130));
    painter.drawRoundedRect(QRectF(3, 8, 22, 21), 2, 2);
    painter.setBrush(QColor(245, 245, 235));
    painter.drawRect(QRectF(6, 11, 16, 15));
    painter.setPen(QPen(QColor(120, 140, 150), 1));
    for (int y = 14; y <= 23; y += 3) painter.drawLine(QLineF(8, y, 20, y));

    // The quill across it, from the nib on the page to the feather top right.
    QPainterPath feather;
    feather.moveTo(13, 22);
    feather.cubicTo(16, 12, 22, 5, 30, 2);
    feather.cubicTo(28, 10, 22, 17, 13, 22);
    painter.setPen(QPen(QColor(90, 70, 40), 1));
    painter.setBrush(QColor(250, 230, 180));
    painter.drawPath(feather);
    painter.setPen(QPen(QColor(90, 70, 40), 1.2));
    painter.drawLine(QLineF(13, 22, 26, 7));
    painter.setPen(QPen(QColor(30, 30, 30), 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QLineF(11, 25, 13, 22));
    return pixmap;
}

}  // namespace

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(drawIcon(size));
    return icon;
}

}  // namespace kestrel::rclog
