// The two picture buttons' bitmaps in their four states, and the window icon.
#include <QPainterPath>

#include "Artwork.h"
#include "PainterKit.h"

namespace kestrel::browser::qt {

namespace {

constexpr int kButtonPixels = 40;
constexpr double kGrid = 40;

void drawInventoryServer(QPainter& p, const QRectF& area) {
    const double u = area.width() / 24;
    auto at = [&](double x, double y) { return QPointF(area.left() + x * u, area.top() + y * u); };
    outlined(p, QColor(0xd0, 0xd0, 0xc8));
    p.drawRoundedRect(QRectF(at(2, 1), at(12, 23)), u, u);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x50, 0x50, 0x50));
    for (int i = 0; i < 4; ++i) p.drawRect(QRectF(at(3.5, 3 + i * 2.6), at(10.5, 4.2 + i * 2.6)));
    p.setBrush(QColor(0x30, 0xc0, 0x30));
    p.drawEllipse(at(7, 20), 1.1 * u, 1.1 * u);

    // The clipboard with the inventory list.
    outlined(p, QColor(0xa0, 0x70, 0x40));
    p.drawRoundedRect(QRectF(at(9, 7), at(23, 23)), u, u);
    outlined(p, QColor(0xfc, 0xfc, 0xf6));
    p.drawRect(QRectF(at(10.5, 9), at(21.5, 21.5)));
    outlined(p, QColor(0x90, 0x90, 0x90));
    p.drawRoundedRect(QRectF(at(13, 6), at(19, 9)), 0.6 * u, 0.6 * u);
    QPen tick(QColor(0x2f, 0x6f, 0xc6), 1.1 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    for (int i = 0; i < 3; ++i) {
        double y = 12 + i * 3.3;
        p.setPen(tick);
        p.drawPolyline(QPolygonF({at(11.5, y), at(12.5, y + 1), at(14, y - 1)}));
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 0.8 * u));
        p.drawLine(at(15.5, y), at(20.5, y));
    }
}

void drawContent(QPainter& p, Picture picture, const QRectF& area) {
    if (picture == Picture::NdsTree)
        drawTreeDiagram(p, area, QColor(0x3c, 0x9a, 0x4a));
    else
        drawInventoryServer(p, area);
}

// A classic button face: light edges top and left when raised, dark when pressed.
void drawBevel(QPainter& p, bool sunken) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe4, 0xe4, 0xe0));
    p.drawRect(QRectF(0, 0, kGrid, kGrid));
    const QColor light(0xff, 0xff, 0xff);
    const QColor dark(0x80, 0x80, 0x80);
    const QColor darkest(0x40, 0x40, 0x40);
    auto edge = [&](const QColor& topLeft, const QColor& bottomRight, double inset) {
        double far = kGrid - 1 - inset;
        p.setPen(topLeft);
        p.drawLine(QPointF(inset, inset), QPointF(far, inset));
        p.drawLine(QPointF(inset, inset), QPointF(inset, far));
        p.setPen(bottomRight);
        p.drawLine(QPointF(inset, far), QPointF(far, far));
        p.drawLine(QPointF(far, inset), QPointF(far, far));
    };
    if (sunken) {
        edge(darkest, light, 0);
        edge(dark, QColor(0xe4, 0xe4, 0xe0), 1);
    } else {
        edge(light, darkest, 0);
        edge(QColor(0xf4, 0xf4, 0xf0), dark, 1);
    }
    p.setRenderHint(QPainter::Antialiasing, true);
}

QPixmap greyed(const QPixmap& pixmap) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            int grey = 150 + qGray(line[x]) / 3;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace

QPixmap buttonPicture(Picture picture, PictureState state) {
    const bool down = state == PictureState::Down;
    QPixmap face = drawPixmap(kButtonPixels, kGrid, [&](QPainter& p) { drawBevel(p, down); });
    QPixmap content = drawPixmap(kButtonPixels, kGrid, [&](QPainter& p) {
        double shift = down ? 1 : 0;
        drawContent(p, picture, QRectF(6 + shift, 6 + shift, 28, 28));
    });
    if (state == PictureState::Disabled) content = greyed(content);

    QPainter painter(&face);
    painter.drawPixmap(0, 0, content);
    if (state == PictureState::Focus) {
        QPen dotted(QColor(0x20, 0x20, 0x20), 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(4, 4, kButtonPixels - 9, kButtonPixels - 9));
    }
    return face;
}

// A magnifying glass over the directory tree: the browser looks into the tree.
QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        icon.addPixmap(drawPixmap(size, 32, [](QPainter& p) {
            drawTreeDiagram(p, QRectF(1, 1, 22, 22), QColor(0x3c, 0x9a, 0x4a));
            QPen handle(QColor(0x6a, 0x40, 0x20), 4.5, Qt::SolidLine, Qt::RoundCap);
            p.setPen(handle);
            p.drawLine(QPointF(24, 24), QPointF(30, 30));
            QPen rim(QColor(0x30, 0x30, 0x38), 2.2);
            p.setPen(rim);
            p.setBrush(QColor(0xa8, 0xd0, 0xff, 110));
            p.drawEllipse(QPointF(19, 19), 7, 7);
        }));
    }
    return icon;
}

}  // namespace kestrel::browser::qt
