#include "ui/qt/MessageIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace kestrel::setup {

namespace {

void drawSymbol(QPainter& painter, const QRectF& area, const QString& symbol,
                const QColor& colour) {
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(static_cast<int>(area.height() * 0.62));
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(area, Qt::AlignCenter, symbol);
}

void drawDisc(QPainter& painter, const QRectF& area, const QColor& fill) {
    QRadialGradient gradient(area.center() - QPointF(area.width() / 6, area.height() / 6),
                             area.width() * 0.7);
    gradient.setColorAt(0, fill.lighter(135));
    gradient.setColorAt(1, fill);
    painter.setBrush(gradient);
    painter.setPen(QPen(fill.darker(140), area.width() / 24));
    painter.drawEllipse(area);
}

}  // namespace

QPixmap messageIconPixmap(MessageIcon icon, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(size * 0.06, size * 0.06, size * 0.88, size * 0.88);
    switch (icon) {
        case MessageIcon::Stop: {
            drawDisc(painter, area, QColor(0xC6, 0x28, 0x28));
            const qreal inset = size * 0.32;
            painter.setPen(QPen(Qt::white, size * 0.1, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(inset, inset), QPointF(size - inset, size - inset));
            painter.drawLine(QPointF(size - inset, inset), QPointF(inset, size - inset));
            break;
        }
        case MessageIcon::Question:
            drawDisc(painter, area, QColor(0x15, 0x65, 0xC0));
            drawSymbol(painter, area, QStringLiteral("?"), Qt::white);
            break;
        case MessageIcon::Exclamation: {
            QPainterPath triangle;
            triangle.moveTo(size * 0.5, size * 0.06);
            triangle.lineTo(size * 0.96, size * 0.92);
            triangle.lineTo(size * 0.04, size * 0.92);
            triangle.closeSubpath();
            painter.setBrush(QColor(0xF9, 0xC0, 0x2D));
            painter.setPen(QPen(QColor(0x8D, 0x6E, 0x00), size / 24.0, Qt::SolidLine, Qt::RoundCap,
                                Qt::RoundJoin));
            painter.drawPath(triangle);
            drawSymbol(painter, QRectF(0, size * 0.22, size, size * 0.7), QStringLiteral("!"),
                       Qt::black);
            break;
        }
        case MessageIcon::Information:
            drawDisc(painter, area, QColor(0x1E, 0x88, 0xE5));
            drawSymbol(painter, area, QStringLiteral("i"), Qt::white);
            break;
    }
    return pixmap;
}

}  // namespace kestrel::setup
