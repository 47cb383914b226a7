#include "TreeImages.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

#include "ClassCodes.h"

namespace kestrel::classic {

namespace {

using Painter = std::function<void(QPainter&)>;

const QColor kOutline(40, 40, 40);
const QColor kPaper(250, 250, 245);
const QColor kBlue(40, 90, 180);
const QColor kGreen(50, 140, 70);
const QColor kRed(190, 50, 40);
const QColor kYellow(235, 190, 60);
const QColor kGrey(150, 150, 150);

void person(QPainter& p, QPointF at, const QColor& body) {
    p.setBrush(QColor(240, 200, 160));
    p.drawEllipse(at + QPointF(-2.5, 0), 5, 5);
    p.setBrush(body);
    p.drawRoundedRect(QRectF(at.x() - 4, at.y() + 5.5, 8, 6), 2, 2);
}

void globe(QPainter& p, const QColor& sea, const QColor& land) {
    p.setBrush(sea);
    p.drawEllipse(QRectF(1.5, 1.5, 14, 14));
    p.setBrush(land);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(4, 4, 5, 4));
    p.drawEllipse(QRectF(8, 9, 5, 4));
    p.setPen(kOutline);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(1.5, 8.5), QPointF(15.5, 8.5));
    p.drawEllipse(QRectF(5, 1.5, 7, 14));
}

void building(QPainter& p, QRectF box, const QColor& wall) {
    p.setBrush(wall);
    p.drawRect(box);
    p.setBrush(kPaper);
    for (qreal y = box.top() + 2; y + 2 < box.bottom(); y += 3.5)
        for (qreal x = box.left() + 1.5; x + 2 < box.right(); x += 3.5)
            p.drawRect(QRectF(x, y, 2, 2));
}

void monitor(QPainter& p) {
    p.setBrush(QColor(220, 220, 210));
    p.drawRect(QRectF(1.5, 1.5, 14, 10));
    p.setBrush(kBlue);
    p.drawRect(QRectF(3.5, 3.5, 10, 6));
    p.setBrush(QColor(200, 200, 190));
    p.drawRect(QRectF(6.5, 11.5, 4, 2));
    p.drawRect(QRectF(2.5, 13.5, 12, 2));
}

void printer(QPainter& p) {
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 8, 6));
    p.setBrush(QColor(190, 190, 180));
    p.drawRoundedRect(QRectF(1.5, 6.5, 14, 6), 1, 1);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 8, 5));
    p.setBrush(kGreen);
    p.drawEllipse(QRectF(12, 8, 2, 2));
}

void server(QPainter& p, const QColor& front) {
    p.setBrush(front);
    p.drawRect(QRectF(4.5, 0.5, 8, 16));
    p.setBrush(kPaper);
    for (qreal y = 2.5; y < 10; y += 3) p.drawRect(QRectF(6, y, 5, 1.5));
    p.setBrush(kGreen);
    p.drawEllipse(QRectF(7.5, 12, 2, 2));
}

const QVector<Painter>& painters() {
    static const QVector<Painter> list{
        // 0 [Root]: the tree's root, a globe
        [](QPainter& p) { globe(p, QColor(90, 150, 220), kGreen); },
        // 1 country: a flag on a pole
        [](QPainter& p) {
            p.drawLine(QPointF(3.5, 1), QPointF(3.5, 16));
            p.setBrush(Qt::black);
            p.drawRect(QRectF(4, 2, 11, 3));
            p.setBrush(kRed);
            p.drawRect(QRectF(4, 5, 11, 3));
            p.setBrush(kYellow);
            p.drawRect(QRectF(4, 8, 11, 3));
        },
        // 2 organization: an office building
        [](QPainter& p) { building(p, QRectF(2.5, 1.5, 12, 14), QColor(200, 170, 120)); },
        // 3 organizational unit: a small building beside a large one
        [](QPainter& p) {
            building(p, QRectF(1.5, 6.5, 7, 9), QColor(120, 170, 210));
            building(p, QRectF(8.5, 2.5, 7, 13), QColor(200, 170, 120));
        },
        // 4 alias: a page with a bent arrow
        [](QPainter& p) {
            p.setBrush(kPaper);
            p.drawRect(QRectF(2.5, 1.5, 11, 14));
            p.setPen(QPen(kBlue, 2));
            p.drawLine(QPointF(5, 12), QPointF(5, 7));
            p.drawLine(QPointF(5, 7), QPointF(11, 7));
            p.drawLine(QPointF(9, 5), QPointF(11, 7));
            p.drawLine(QPointF(9, 9), QPointF(11, 7));
        },
        // 5 user
        [](QPainter& p) { person(p, QPointF(8.5, 2), kBlue); },
        // 6 group: two people
        [](QPainter& p) {
            person(p, QPointF(5.5, 3), kGreen);
            person(p, QPointF(11.5, 2), kBlue);
        },
        // 7 NCP server
        [](QPainter& p) { server(p, kRed); },
        // 8 queue: a stack of pages
        [](QPainter& p) {
            p.setBrush(kPaper);
            for (int i = 0; i < 3; ++i) p.drawRect(QRectF(1.5 + 2 * i, 1.5 + 3 * i, 10, 8));
        },
        // 9 print server: a server with a page
        [](QPainter& p) {
            server(p, kGrey);
            p.setBrush(kPaper);
            p.drawRect(QRectF(10.5, 8.5, 6, 7));
        },
        // 10 volume: a disk drum
        [](QPainter& p) {
            p.setBrush(kYellow);
            p.drawRect(QRectF(2.5, 4.5, 12, 9));
            p.drawEllipse(QRectF(2.5, 10.5, 12, 5));
            p.setPen(Qt::NoPen);
            p.drawRect(QRectF(3, 5, 11, 8));
            p.setPen(kOutline);
            p.setBrush(QColor(250, 220, 120));
            p.drawEllipse(QRectF(2.5, 1.5, 12, 5));
        },
        // 11 bindery object: a box with a clip
        [](QPainter& p) {
            p.setBrush(QColor(180, 140, 90));
            p.drawRect(QRectF(2.5, 4.5, 12, 11));
            p.setBrush(kGrey);
            p.drawRect(QRectF(6.5, 1.5, 4, 5));
        },
        // 12 profile: a page with lines
        [](QPainter& p) {
            p.setBrush(kPaper);
            p.drawRect(QRectF(3.5, 1.5, 10, 14));
            for (int y = 4; y < 14; y += 3)
                p.drawLine(QPointF(5.5, y + 0.5), QPointF(11.5, y + 0.5));
        },
        // 13 printer
        [](QPainter& p) { printer(p); },
        // 14 unknown: a question mark
        [](QPainter& p) {
            p.setBrush(kPaper);
            p.drawRect(QRectF(2.5, 1.5, 12, 14));
            QFont font = p.font();
            font.setPixelSize(13);
            font.setBold(true);
            p.setFont(font);
            p.setPen(kRed);
            p.drawText(QRectF(2, 1, 13, 15), Qt::AlignCenter, QStringLiteral("?"));
        },
        // 15 disabled root: the globe in grey, struck through
        [](QPainter& p) {
            globe(p, QColor(200, 200, 200), kGrey);
            p.setPen(QPen(kRed, 2));
            p.drawLine(QPointF(3, 14), QPointF(14, 3));
        },
        // 16 ZENworks workstation: a monitor
        [](QPainter& p) { monitor(p); },
        // 17 locality: a map pin
        [](QPainter& p) {
            QPainterPath pin;
            pin.moveTo(8.5, 16);
            pin.cubicTo(2, 9, 2, 1.5, 8.5, 1.5);
            pin.cubicTo(15, 1.5, 15, 9, 8.5, 16);
            p.setBrush(kRed);
            p.drawPath(pin);
            p.setBrush(kPaper);
            p.drawEllipse(QRectF(6.5, 4.5, 4, 4));
        },
    };
    return list;
}

QPixmap draw(const Painter& paint, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / qreal(kTreeImageSize), size / qreal(kTreeImageSize));
    painter.setPen(QPen(kOutline, 1));
    paint(painter);
    return pixmap;
}

}  // namespace

const QVector<QPixmap>& treeImages() {
    static const QVector<QPixmap> images = [] {
        static_assert(kImageCount == 18);
        QVector<QPixmap> drawn;
        for (const auto& paint : painters()) drawn.push_back(draw(paint, kTreeImageSize));
        return drawn;
    }();
    return images;
}

QIcon programIcon() {
    // The tree's root with a monitor in front: a browser of workstations.
    Painter paint = [](QPainter& p) {
        globe(p, QColor(90, 150, 220), kGreen);
        p.scale(0.6, 0.6);
        p.translate(11, 11);
        monitor(p);
    };
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(draw(paint, size));
    return icon;
}

}  // namespace kestrel::classic
