#include "ui/background/BackgroundTexts.h"

#include <QPainter>

#include "ui/background/BackgroundGeometry.h"
#include "ui/background/BackgroundRenderer.h"

namespace kestrel::setup {

namespace {

// Text flags as Qt's: tabs expanded, "&" an ordinary character (no mnemonic flag), nothing
// clipped; BOTTOM and VCENTER put the text on one line, other texts wrap at words.
int qtFlags(std::uint32_t flags) {
    int qt = Qt::TextExpandTabs | Qt::TextDontClip;
    if (flags & textflag::kRight) {
        qt |= Qt::AlignRight;
    } else if (flags & textflag::kCenter) {
        qt |= Qt::AlignHCenter;
    } else {
        qt |= Qt::AlignLeft;
    }
    if (flags & textflag::kBottom) {
        qt |= Qt::AlignBottom | Qt::TextSingleLine;
    } else if (flags & textflag::kVCenter) {
        qt |= Qt::AlignVCenter | Qt::TextSingleLine;
    } else {
        qt |= Qt::AlignTop | Qt::TextWordWrap;
    }
    return qt;
}

QFont::StyleHint styleHint(std::uint32_t family) {
    switch (family) {
        case 0x10:
            return QFont::Serif;
        case 0x20:
            return QFont::SansSerif;
        case 0x30:
            return QFont::TypeWriter;
        case 0x40:
            return QFont::Cursive;
        case 0x50:
            return QFont::Decorative;
        default:
            return QFont::AnyStyle;
    }
}

}  // namespace

QFont backgroundFont(const BackgroundText& text, int dpi) {
    QFont font(QString::fromStdString(text.face));
    font.setStyleHint(styleHint(text.family));
    // Pixel sizes keep the drawing independent of the device the image ends up on.
    font.setPixelSize(std::max(1, text.size * dpi / 72));
    font.setWeight((text.flags & textflag::kBold) ? QFont::Bold : QFont::Normal);
    font.setItalic((text.flags & textflag::kItalic) != 0);
    font.setUnderline((text.flags & textflag::kUnderline) != 0);
    return font;
}

std::vector<QRect> paintTexts(QPainter& painter, const BackgroundScene& scene) {
    std::vector<QRect> extents;
    TextBox previous;  // before the first text: the top-left corner
    for (const SceneText& text : scene.texts) {
        const BackgroundText& style = text.style;
        if (style.face.empty() || text.text.isEmpty()) {
            extents.emplace_back();
            continue;
        }
        const TextBox box = textBox(style, previous, scene.width, scene.height, scene.dpi);
        const QRect rect(QPoint(box.left, box.top), QPoint(std::max(box.right, box.left) - 1,
                                                           std::max(box.bottom, box.top) - 1));
        const int flags = qtFlags(style.flags);
        painter.setFont(backgroundFont(style, scene.dpi));
        if (style.flags & textflag::kShadow) {
            painter.setPen(Qt::black);
            for (const Offset& offset : shadowOffsets())
                painter.drawText(rect.translated(offset.dx, offset.dy), flags, text.text);
        }
        painter.setPen(colourOf(style.colour));
        QRect measured;
        painter.drawText(rect, flags, text.text, &measured);
        previous = textExtent(
            {measured.left(), measured.top(), measured.right() + 1, measured.bottom() + 1},
            style.flags);
        extents.emplace_back(QPoint(previous.left, previous.top),
                             QPoint(previous.right - 1, previous.bottom - 1));
    }
    return extents;
}

}  // namespace kestrel::setup
