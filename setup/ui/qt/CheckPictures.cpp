#include "ui/qt/CheckPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace kestrel::setup {

namespace {

void paintBulb(QPainter& painter, const QRectF& box, bool lit, bool twoColours) {
    QColor glass = lit ? QColor(255, 220, 40) : QColor(128, 128, 128);
    if (twoColours) glass = lit ? Qt::white : Qt::black;
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(glass);
    const QRectF bulb(box.left() + 2, box.top() + 1, box.width() - 4, box.height() * 0.7);
    painter.drawEllipse(bulb);
    const QRectF base(box.center().x() - 2.5, bulb.bottom() - 1, 5, box.bottom() - bulb.bottom());
    painter.setBrush(twoColours ? QColor(Qt::black) : QColor(96, 96, 96));
    painter.drawRect(base);
}

void paintTick(QPainter& painter, const QRectF& box, const QColor& colour) {
    QPainterPath tick;
    tick.moveTo(box.left() + box.width() * 0.2, box.top() + box.height() * 0.55);
    tick.lineTo(box.left() + box.width() * 0.42, box.top() + box.height() * 0.78);
    tick.lineTo(box.left() + box.width() * 0.82, box.top() + box.height() * 0.25);
    painter.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
}

void paintBox(QPainter& painter, const QRectF& box, CheckState state) {
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(1.5, 1.5, -1.5, -1.5));
    if (state == CheckState::Unchecked) return;
    // One picture for both checked states: a cross, as the check box look has it.
    painter.setPen(QPen(Qt::black, 1.6));
    const QRectF inner = box.adjusted(4.5, 4.5, -4.5, -4.5);
    painter.drawLine(inner.topLeft(), inner.bottomRight());
    painter.drawLine(inner.topRight(), inner.bottomLeft());
}

void paintRadio(QPainter& painter, const QRectF& box, CheckState state) {
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawEllipse(box.adjusted(1.5, 1.5, -1.5, -1.5));
    if (state == CheckState::Unchecked) return;
    painter.setPen(Qt::NoPen);
    painter.setBrush(state == CheckState::Checked ? QColor(Qt::black) : QColor(Qt::gray));
    painter.drawEllipse(box.center(), box.width() * 0.18, box.height() * 0.18);
}

}  // namespace

void paintCheckPicture(QPainter& painter, const QRect& area, const CheckPicture& picture) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min({area.width(), area.height(), kCheckPictureSize});
    const QRectF box(area.left() + (area.width() - side) / 2.0,
                     area.top() + (area.height() - side) / 2.0, side, side);
    switch (picture.look) {
        case CheckLook::Bulbs:
            paintBulb(painter, box, picture.state != CheckState::Unchecked,
                      picture.name.starts_with("BulbM"));
            break;
        case CheckLook::CheckBox:
            paintBox(painter, box, picture.state);
            break;
        case CheckLook::CheckMarks:
            if (picture.radio) {
                paintRadio(painter, box, picture.state);
                break;
            }
            // A faint frame marks where to click, also when nothing is ticked.
            painter.setPen(QPen(QColor(192, 192, 192), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(box.adjusted(1.5, 1.5, -1.5, -1.5));
            if (picture.state != CheckState::Unchecked)
                paintTick(
                    painter, box,
                    picture.state == CheckState::Checked ? QColor(Qt::black) : QColor(Qt::gray));
            break;
    }
    painter.restore();
}

}  // namespace kestrel::setup
