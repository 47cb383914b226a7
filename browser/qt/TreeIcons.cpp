// The nineteen pictures of the tree's image list, each drawn on a 16×16 grid.
#include <QPainterPath>
#include <array>

#include "Artwork.h"
#include "PainterKit.h"
#include "window/TreeImages.h"

namespace kestrel::browser::qt {

namespace {

using Draw = void (*)(QPainter&);

const QColor kBlue(0x2f, 0x6f, 0xc6);
const QColor kGreen(0x3c, 0x9a, 0x4a);
const QColor kYellow(0xf0, 0xc0, 0x40);
const QColor kRed(0xcc, 0x33, 0x33);
const QColor kGrey(0x9a, 0x9a, 0x9a);
const QColor kPaper(0xfc, 0xfc, 0xf6);

void globe(QPainter& p, const QColor& sea, const QColor& land) {
    outlined(p, sea);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(land);
    QPainterPath continent;
    continent.moveTo(4, 5);
    continent.cubicTo(6, 3, 9, 4, 8, 6);
    continent.cubicTo(7, 8, 10, 9, 9, 12);
    continent.cubicTo(7, 13, 5, 11, 5, 9);
    continent.closeSubpath();
    p.drawPath(continent);
    p.drawEllipse(QPointF(11.5, 6.5), 1.6, 1.2);
    QPen grid(sea.lighter(160), 0.5);
    p.setPen(grid);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 3, 6.5);
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
}

void root(QPainter& p) {
    globe(p, kBlue, kGreen);
}

void disabledRoot(QPainter& p) {
    globe(p, kGrey, QColor(0xc8, 0xc8, 0xc8));
    QPen slash(kRed, 1.6, Qt::SolidLine, Qt::RoundCap);
    p.setPen(slash);
    p.drawLine(QPointF(3, 13), QPointF(13, 3));
}

void country(QPainter& p) {
    outlined(p, QColor(0x80, 0x60, 0x40));
    p.drawRect(QRectF(2.5, 1.5, 1.2, 13.5));
    p.setPen(Qt::NoPen);
    const QColor stripes[] = {kRed, kPaper, kBlue};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(stripes[i]);
        p.drawRect(QRectF(3.7, 2 + i * 2.3, 10, 2.3));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 0.6));
    p.drawRect(QRectF(3.7, 2, 10, 6.9));
}

void organization(QPainter& p) {
    outlined(p, QColor(0xb8, 0xc4, 0xd4));
    p.drawRect(QRectF(3, 2.5, 10, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRect(QRectF(4.4 + col * 2.9, 3.8 + row * 2.4, 1.6, 1.4));
    p.setBrush(QColor(0x70, 0x50, 0x30));
    p.drawRect(QRectF(7, 12, 2, 2.5));
}

void organizationalUnit(QPainter& p) {
    QPen line(QColor(0x60, 0x60, 0x60), 0.8);
    p.setPen(line);
    p.drawLine(QPointF(8, 6), QPointF(8, 8.5));
    p.drawLine(QPointF(4, 8.5), QPointF(12, 8.5));
    p.drawLine(QPointF(4, 8.5), QPointF(4, 10));
    p.drawLine(QPointF(12, 8.5), QPointF(12, 10));
    outlined(p, kYellow);
    p.drawRect(QRectF(4.5, 1.5, 7, 4.5));
    outlined(p, kYellow.lighter(115));
    p.drawRect(QRectF(1, 10, 6, 4.5));
    p.drawRect(QRectF(9, 10, 6, 4.5));
}

void page(QPainter& p) {
    outlined(p, kPaper);
    QPainterPath sheet;
    sheet.moveTo(3, 1.5);
    sheet.lineTo(10, 1.5);
    sheet.lineTo(13, 4.5);
    sheet.lineTo(13, 14.5);
    sheet.lineTo(3, 14.5);
    sheet.closeSubpath();
    p.drawPath(sheet);
}

void alias(QPainter& p) {
    page(p);
    QPen arrow(kBlue, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(arrow);
    p.setBrush(Qt::NoBrush);
    QPainterPath curve;
    curve.moveTo(5, 12.5);
    curve.cubicTo(5, 8, 7, 6.5, 10.5, 6.5);
    p.drawPath(curve);
    p.setBrush(kBlue);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(9.5, 4), QPointF(12.5, 6.5), QPointF(9.5, 9)}));
}

void user(QPainter& p) {
    drawPerson(p, 8, 15, 1.2, kRed);
}

void group(QPainter& p) {
    drawPerson(p, 5.5, 13.5, 0.95, kGreen);
    drawPerson(p, 10.5, 15.5, 1.0, kRed);
}

void tower(QPainter& p, const QRectF& box) {
    outlined(p, QColor(0xd0, 0xd0, 0xc8));
    p.drawRoundedRect(box, 0.8, 0.8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x50, 0x50, 0x50));
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(box.left() + 1.2, box.top() + 1.5 + i * 1.8, box.width() - 2.4, 0.9));
    p.setBrush(QColor(0x30, 0xc0, 0x30));
    p.drawEllipse(QPointF(box.center().x(), box.bottom() - 1.8), 0.8, 0.8);
}

void server(QPainter& p) {
    tower(p, QRectF(4, 1, 8, 14));
}

void printer(QPainter& p, const QRectF& box) {
    const double u = box.width() / 12;
    outlined(p, kPaper);
    p.drawRect(QRectF(box.left() + 3 * u, box.top(), 6 * u, 4 * u));
    outlined(p, QColor(0xc8, 0xc8, 0xc0));
    p.drawRoundedRect(QRectF(box.left(), box.top() + 3.5 * u, 12 * u, 5.5 * u), u, u);
    outlined(p, kPaper);
    p.drawRect(QRectF(box.left() + 2.5 * u, box.top() + 7.5 * u, 7 * u, 4 * u));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(box.left() + 10.3 * u, box.top() + 5.2 * u), 0.7 * u, 0.7 * u);
}

void queue(QPainter& p) {
    for (int i = 2; i >= 0; --i) {
        outlined(p, kPaper.darker(100 + i * 6));
        p.drawRect(QRectF(2 + i * 2, 1.5 + i * 2, 8, 9));
    }
    QPen arrow(kBlue, 1.4, Qt::SolidLine, Qt::RoundCap);
    p.setPen(arrow);
    p.drawLine(QPointF(3, 14), QPointF(11, 14));
    p.setBrush(kBlue);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(11, 12), QPointF(14.5, 14), QPointF(11, 16)}));
}

void printServer(QPainter& p) {
    tower(p, QRectF(1, 1, 6.5, 12));
    printer(p, QRectF(6, 6, 9.5, 9.5));
}

void printerIcon(QPainter& p) {
    printer(p, QRectF(1.5, 2, 13, 13));
}

void volume(QPainter& p) {
    const QColor metal(0xb0, 0xb8, 0xc8);
    outlined(p, metal);
    p.drawRect(QRectF(2, 4.5, 12, 7.5));
    p.drawEllipse(QRectF(2, 9.5, 12, 5));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(2.4, 5, 11.2, 7.4));
    outlined(p, metal.lighter(125));
    p.drawEllipse(QRectF(2, 2, 12, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(11.5, 11), 0.8, 0.8);
}

void binderyObject(QPainter& p) {
    outlined(p, QColor(0x8a, 0x5a, 0x2a));
    p.drawRoundedRect(QRectF(3, 1.5, 10.5, 13), 1, 1);
    outlined(p, kPaper);
    p.drawRect(QRectF(5.5, 3.5, 6.5, 3));
    p.setPen(QPen(QColor(0xe0, 0xe0, 0xe0), 1.2, Qt::SolidLine, Qt::RoundCap));
    for (double y : {4.0, 8.0, 12.0}) p.drawLine(QPointF(1.8, y), QPointF(4.2, y));
}

void profile(QPainter& p) {
    outlined(p, QColor(0xe8, 0xf0, 0xfa));
    p.drawRoundedRect(QRectF(1, 3, 14, 10), 1.2, 1.2);
    drawPerson(p, 5, 11.5, 0.7, kBlue);
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 0.9));
    for (double y : {6.0, 8.5, 11.0}) p.drawLine(QPointF(9, y), QPointF(13.5, y));
}

void unknown(QPainter& p) {
    outlined(p, QColor(0xe6, 0xe6, 0xe6));
    p.drawRoundedRect(QRectF(2, 2, 12, 12), 2, 2);
    QFont font;
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.drawText(QRectF(2, 2, 12, 12), Qt::AlignCenter, QStringLiteral("?"));
}

void workstation(QPainter& p) {
    drawMonitor(p, QRectF(1.5, 1.5, 13, 13), kBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawRect(QRectF(10.5, 3.4, 1.6, 1.6));  // the management agent's mark
}

void locality(QPainter& p) {
    outlined(p, kRed);
    QPainterPath pin;
    pin.moveTo(8, 15);
    pin.cubicTo(5, 10.5, 3, 8.5, 3, 6);
    pin.arcTo(QRectF(3, 1, 10, 10), 180, -180);
    pin.cubicTo(13, 8.5, 11, 10.5, 8, 15);
    p.drawPath(pin);
    outlined(p, kPaper);
    p.drawEllipse(QPointF(8, 6), 2, 2);
}

void workstationGroup(QPainter& p) {
    drawMonitor(p, QRectF(0.5, 0.5, 9, 9), kGreen);
    drawMonitor(p, QRectF(6.5, 6.5, 9, 9), kBlue);
}

constexpr std::array<Draw, kTreeImageCount> kDrawings{
    root,
    country,
    organization,
    organizationalUnit,
    alias,
    user,
    group,
    server,
    queue,
    printServer,
    volume,
    binderyObject,
    profile,
    printerIcon,
    unknown,
    disabledRoot,
    workstation,
    locality,
    workstationGroup,
};

}  // namespace

QIcon treeIcon(int image) {
    if (image < 0 || image >= kTreeImageCount) image = kImageUnknown;
    QIcon icon;
    for (int size : {16, 32}) icon.addPixmap(drawPixmap(size, 16, kDrawings[image]));
    return icon;
}

QPixmap decoration(Decoration which) {
    constexpr int kSize = 32;
    switch (which) {
        case Decoration::User:
            return drawPixmap(kSize, 16, user);
        case Decoration::Alias:
            return drawPixmap(kSize, 16, alias);
        case Decoration::Tree:
            break;
    }
    return drawPixmap(kSize, 16, [](QPainter& p) {
        drawTreeDiagram(p, QRectF(1, 1, 14, 14), QColor(0x3c, 0x9a, 0x4a));
    });
}

}  // namespace kestrel::browser::qt
