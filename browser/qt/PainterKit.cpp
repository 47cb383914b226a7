#include "PainterKit.h"

#include <QPainterPath>

namespace kestrel::browser::qt {

QPixmap drawPixmap(int pixels, double grid, const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixels / grid, pixels / grid);
    paint(painter);
    return pixmap;
}

void outlined(QPainter& painter, const QColor& fill) {
    painter.setBrush(fill);
    QPen pen(fill.darker(190));
    pen.setWidthF(0.8);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
}

void drawPerson(QPainter& painter, double x, double bottom, double scale, const QColor& fill) {
    outlined(painter, fill);
    QPainterPath body;
    body.moveTo(x - 5 * scale, bottom);
    body.cubicTo(x - 5 * scale, bottom - 5 * scale, x - 3 * scale, bottom - 6 * scale, x,
                 bottom - 6 * scale);
    body.cubicTo(x + 3 * scale, bottom - 6 * scale, x + 5 * scale, bottom - 5 * scale,
                 x + 5 * scale, bottom);
    body.closeSubpath();
    painter.drawPath(body);
    outlined(painter, QColor(0xf2, 0xc2, 0x96));
    painter.drawEllipse(QPointF(x, bottom - 9 * scale), 2.8 * scale, 2.8 * scale);
}

void drawMonitor(QPainter& painter, const QRectF& frame, const QColor& screen) {
    const double w = frame.width();
    const double h = frame.height();
    outlined(painter, QColor(0xd8, 0xd8, 0xd0));
    QRectF body(frame.left(), frame.top(), w, h * 0.72);
    painter.drawRoundedRect(body, w * 0.08, w * 0.08);
    painter.drawRect(QRectF(frame.left() + w * 0.42, body.bottom(), w * 0.16, h * 0.14));
    painter.drawRoundedRect(
        QRectF(frame.left() + w * 0.2, frame.bottom() - h * 0.14, w * 0.6, h * 0.14), 0.6, 0.6);
    painter.setPen(Qt::NoPen);
    QLinearGradient glass(body.topLeft(), body.bottomRight());
    glass.setColorAt(0, screen.lighter(150));
    glass.setColorAt(1, screen);
    painter.setBrush(glass);
    painter.drawRect(body.adjusted(w * 0.12, h * 0.1, -w * 0.12, -h * 0.1));
}

void drawTreeDiagram(QPainter& painter, const QRectF& area, const QColor& node) {
    const double w = area.width();
    const double h = area.height();
    const QPointF top(area.left() + w / 2, area.top() + h * 0.2);
    const double childY = area.top() + h * 0.78;
    const QPointF children[] = {{area.left() + w * 0.16, childY},
                                {area.left() + w * 0.5, childY},
                                {area.left() + w * 0.84, childY}};
    QPen line(node.darker(220));
    line.setWidthF(w * 0.06);
    painter.setPen(line);
    const double joinY = area.top() + h * 0.5;
    painter.drawLine(top, QPointF(top.x(), joinY));
    painter.drawLine(QPointF(children[0].x(), joinY), QPointF(children[2].x(), joinY));
    for (const QPointF& child : children) painter.drawLine(QPointF(child.x(), joinY), child);

    const double r = w * 0.14;
    outlined(painter, node);
    painter.drawEllipse(top, r * 1.15, r * 1.15);
    outlined(painter, node.lighter(125));
    for (const QPointF& child : children) painter.drawEllipse(child, r, r);
}

}  // namespace kestrel::browser::qt
