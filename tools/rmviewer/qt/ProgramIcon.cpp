#include "ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace kestrel::rmviewer {

namespace {

// Everything is drawn on a 64 x 64 grid and scaled to the pixmap.
void drawMonitor(QPainter& p, const QColor& screenTop, const QColor& screenBottom) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x54, 0x5B, 0x64));
    p.drawPolygon(QPolygonF({QPointF(26, 46), QPointF(38, 46), QPointF(41, 55), QPointF(23, 55)}));
    p.drawRoundedRect(QRectF(16, 54, 32, 5), 2, 2);

    p.setBrush(QColor(0x2E, 0x34, 0x3B));
    p.drawRoundedRect(QRectF(4, 7, 56, 41), 5, 5);
    QLinearGradient screen(0, 11, 0, 44);
    screen.setColorAt(0, screenTop);
    screen.setColorAt(1, screenBottom);
    p.setBrush(screen);
    p.drawRoundedRect(QRectF(8, 11, 48, 33), 2, 2);
}

// A mouse pointer: the viewer takes over the remote screen.
void drawPointer(QPainter& p) {
    const QPolygonF arrow({QPointF(26, 15), QPointF(26, 39), QPointF(32, 33), QPointF(36, 42),
                           QPointF(40, 40), QPointF(36, 31), QPointF(44, 31)});
    p.setPen(QPen(QColor(0x1A, 0x23, 0x7E), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
}

// Two windows with an exchange between them: the desktop tools work with the workstation.
void drawExchange(QPainter& p) {
    p.setPen(QPen(QColor(0x00, 0x4D, 0x40), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(12, 16, 15, 12));
    p.drawRect(QRectF(37, 27, 15, 12));
    p.setBrush(QColor(0x00, 0x96, 0x88));
    p.drawRect(QRectF(12, 16, 15, 3));
    p.drawRect(QRectF(37, 27, 15, 3));
    p.setPen(QPen(QColor(0xFF, 0xD5, 0x4F), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(29, 24), QPointF(35, 24));
    p.drawPolyline(QPolygonF({QPointF(33, 21.5), QPointF(35.5, 24), QPointF(33, 26.5)}));
    p.drawLine(QPointF(29, 33), QPointF(35, 33));
    p.drawPolyline(QPolygonF({QPointF(31, 30.5), QPointF(28.5, 33), QPointF(31, 35.5)}));
}

void drawQuestion(QPainter& p) {
    QFont font = p.font();
    font.setPixelSize(26);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(8, 11, 48, 33), Qt::AlignCenter, QStringLiteral("?"));
}

QPixmap drawIcon(Program program, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    switch (program) {
        case Program::Viewer:
            drawMonitor(p, QColor(0x42, 0xA5, 0xF5), QColor(0x15, 0x65, 0xC0));
            drawPointer(p);
            break;
        case Program::Desktop:
            drawMonitor(p, QColor(0x4D, 0xB6, 0xAC), QColor(0x00, 0x69, 0x5C));
            drawExchange(p);
            break;
        case Program::Unknown:
            drawMonitor(p, QColor(0x90, 0xA4, 0xAE), QColor(0x54, 0x6E, 0x7A));
            drawQuestion(p);
            break;
    }
    return pixmap;
}

}  // namespace

QIcon programIcon(Program program) {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(drawIcon(program, size));
    return icon;
}

}  // namespace kestrel::rmviewer
