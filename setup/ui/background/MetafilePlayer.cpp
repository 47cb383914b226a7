// Plays a metafile's records through a QPainter: the graphics state a metafile device
// context keeps (window origin and extent, the object table, the selected pen, brush and
// font, text colour and alignment, the current position), each record checked for the
// parameters it reads.
#include <QPainter>
#include <QPainterPath>
#include <variant>

#include "platform/CodePage.h"
#include "ui/background/Metafile.h"

namespace kestrel::setup {

namespace {

namespace meta {
constexpr std::uint16_t kSaveDc = 0x001E, kRestoreDc = 0x0127, kSetBkMode = 0x0102,
                        kSetPolyFillMode = 0x0106, kSetTextColor = 0x0209, kSetTextAlign = 0x012E,
                        kSetWindowOrg = 0x020B, kSetWindowExt = 0x020C, kCreatePen = 0x02FA,
                        kCreateBrush = 0x02FC, kCreateFont = 0x02FB, kCreatePalette = 0x00F7,
                        kCreatePatternBrush = 0x01F9, kDibCreatePatternBrush = 0x0142,
                        kCreateRegion = 0x06FF, kSelectObject = 0x012D, kDeleteObject = 0x01F0,
                        kMoveTo = 0x0214, kLineTo = 0x0213, kRectangle = 0x041B,
                        kRoundRect = 0x061C, kEllipse = 0x0418, kPolygon = 0x0324,
                        kPolyline = 0x0325, kPolyPolygon = 0x0538, kTextOut = 0x0521,
                        kExtTextOut = 0x0A32;
}

constexpr int kTaRight = 2, kTaCenter = 6, kTaBottom = 8, kTaBaseline = 24;

QColor colourOf(std::int16_t low, std::int16_t high) {
    const auto l = static_cast<std::uint16_t>(low), h = static_cast<std::uint16_t>(high);
    return QColor(l & 0xFF, l >> 8, h & 0xFF);
}

// What a slot of the object table holds; objects we do not draw with still take a slot.
using GraphicsObject = std::variant<std::monostate, QPen, QBrush, QFont>;

struct DcState {
    QPoint windowOrg;
    QSize windowExt;
    QPen pen{Qt::black, 0};
    QBrush brush{Qt::white};
    QFont font;
    QColor textColour{Qt::black};
    int textAlign = 0;
    Qt::FillRule fill = Qt::OddEvenFill;
    QPoint position;
};

class Player {
  public:
    Player(QPainter& painter, const Metafile& metafile, const QRect& target)
        : painter_(painter),
          base_(painter.transform()),
          target_(target),
          objects_(metafile.objectSlots()) {
        // Until the records say otherwise, the bounding box fills the target.
        state_.windowOrg = metafile.bounds().topLeft();
        state_.windowExt = metafile.bounds().size();
        state_.font.setPixelSize(12);
        applyWindow();
    }

    void play(const Metafile::Record& record) {
        const auto& p = record.params;
        const auto has = [&](std::size_t count) { return p.size() >= count; };
        switch (record.function) {
            case meta::kSaveDc:
                saved_.push_back(state_);
                break;
            case meta::kRestoreDc:
                if (!saved_.empty()) {
                    state_ = saved_.back();
                    saved_.pop_back();
                    applyWindow();
                }
                break;
            case meta::kSetBkMode:
                break;  // text and hatches are drawn transparently
            case meta::kSetPolyFillMode:
                if (has(1)) state_.fill = p[0] == 2 ? Qt::WindingFill : Qt::OddEvenFill;
                break;
            case meta::kSetTextColor:
                if (has(2)) state_.textColour = colourOf(p[0], p[1]);
                break;
            case meta::kSetTextAlign:
                if (has(1)) state_.textAlign = static_cast<std::uint16_t>(p[0]);
                break;
            case meta::kSetWindowOrg:
                if (has(2)) state_.windowOrg = QPoint(p[1], p[0]);
                applyWindow();
                break;
            case meta::kSetWindowExt:
                if (has(2) && p[0] != 0 && p[1] != 0) state_.windowExt = QSize(p[1], p[0]);
                applyWindow();
                break;
            case meta::kCreatePen:
                if (has(5)) store(pen(p));
                break;
            case meta::kCreateBrush:
                if (has(4)) store(brush(p));
                break;
            case meta::kCreateFont:
                if (has(9)) store(font(p));
                break;
            case meta::kCreatePalette:
            case meta::kCreatePatternBrush:
            case meta::kDibCreatePatternBrush:
            case meta::kCreateRegion:
                store(std::monostate{});
                break;
            case meta::kSelectObject:
                if (has(1)) select(p[0]);
                break;
            case meta::kDeleteObject:
                if (has(1) && slot(p[0])) objects_[p[0]].reset();
                break;
            case meta::kMoveTo:
                if (has(2)) state_.position = QPoint(p[1], p[0]);
                break;
            case meta::kLineTo:
                if (has(2)) lineTo(QPoint(p[1], p[0]));
                break;
            case meta::kRectangle:
                if (has(4)) shape(QRect(QPoint(p[3], p[2]), QPoint(p[1] - 1, p[0] - 1)), 0, 0);
                break;
            case meta::kRoundRect:
                if (has(6))
                    shape(QRect(QPoint(p[5], p[4]), QPoint(p[3] - 1, p[2] - 1)), p[1], p[0]);
                break;
            case meta::kEllipse:
                if (has(4)) ellipse(QRect(QPoint(p[3], p[2]), QPoint(p[1] - 1, p[0] - 1)));
                break;
            case meta::kPolygon:
            case meta::kPolyline:
                polygon(record.function == meta::kPolygon, p);
                break;
            case meta::kPolyPolygon:
                polyPolygon(p);
                break;
            case meta::kTextOut:
                textOut(p);
                break;
            case meta::kExtTextOut:
                extTextOut(p);
                break;
            default:
                break;
        }
    }

  private:
    void applyWindow() {
        QTransform transform;
        transform.translate(target_.x(), target_.y());
        transform.scale(static_cast<double>(target_.width()) / state_.windowExt.width(),
                        static_cast<double>(target_.height()) / state_.windowExt.height());
        transform.translate(-state_.windowOrg.x(), -state_.windowOrg.y());
        painter_.setTransform(transform * base_);
    }

    bool slot(int index) const { return index >= 0 && index < static_cast<int>(objects_.size()); }

    // A new object goes into the lowest free slot, as the device context's handle table
    // does; a metafile that creates more than it said it would have is drawn without them.
    void store(GraphicsObject object) {
        for (auto& entry : objects_) {
            if (!entry) {
                entry = std::move(object);
                return;
            }
        }
    }

    void select(int index) {
        if (!slot(index) || !objects_[index]) return;
        const GraphicsObject& object = *objects_[index];
        if (const auto* selected = std::get_if<QPen>(&object)) state_.pen = *selected;
        if (const auto* selected = std::get_if<QBrush>(&object)) state_.brush = *selected;
        if (const auto* selected = std::get_if<QFont>(&object)) state_.font = *selected;
    }

    static QPen pen(const std::vector<std::int16_t>& p) {
        const int style = p[0] & 0x0F;
        if (style == 5) return QPen(Qt::NoPen);  // PS_NULL
        QPen made(colourOf(p[3], p[4]), std::abs(static_cast<int>(p[1])));
        constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                            Qt::DashDotLine, Qt::DashDotDotLine};
        if (style < 5) made.setStyle(kStyles[style]);
        made.setCosmetic(p[1] == 0);
        return made;
    }

    static QBrush brush(const std::vector<std::int16_t>& p) {
        const QColor colour = colourOf(p[1], p[2]);
        switch (p[0]) {
            case 0:
                return QBrush(colour);
            case 2: {  // hatched
                constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                       Qt::FDiagPattern, Qt::BDiagPattern,
                                                       Qt::CrossPattern, Qt::DiagCrossPattern};
                const int hatch = p[3];
                return QBrush(colour, hatch >= 0 && hatch < 6 ? kHatches[hatch] : Qt::SolidPattern);
            }
            default:
                return QBrush(Qt::NoBrush);  // hollow and the pattern kinds
        }
    }

    static QFont font(const std::vector<std::int16_t>& p) {
        QFont made;
        made.setPixelSize(std::max(1, std::abs(static_cast<int>(p[0]))));
        if (p[4] > 0) made.setWeight(p[4] >= 600 ? QFont::Bold : QFont::Normal);
        made.setItalic((p[5] & 0xFF) != 0);
        made.setUnderline(((p[5] >> 8) & 0xFF) != 0);
        made.setStrikeOut((p[6] & 0xFF) != 0);
        std::string face = textAt(p, 9, 32);
        face.resize(std::min(face.size(), face.find('\0')));
        if (!face.empty())
            made.setFamily(QString::fromStdString(platform::CodePage::windows1252().toUtf8(face)));
        return made;
    }

    void lineTo(const QPoint& to) {
        painter_.setPen(state_.pen);
        painter_.drawLine(state_.position, to);
        state_.position = to;
    }

    void shape(const QRect& box, int cornerWidth, int cornerHeight) {
        painter_.setPen(state_.pen);
        painter_.setBrush(state_.brush);
        if (cornerWidth == 0 && cornerHeight == 0) {
            painter_.drawRect(box);
        } else {
            painter_.drawRoundedRect(box, cornerWidth / 2.0, cornerHeight / 2.0);
        }
    }

    void ellipse(const QRect& box) {
        painter_.setPen(state_.pen);
        painter_.setBrush(state_.brush);
        painter_.drawEllipse(box);
    }

    // Points follow their count; a count larger than the record is cut to what it holds.
    static QPolygon points(const std::vector<std::int16_t>& p, std::size_t first,
                           std::size_t count) {
        QPolygon polygon;
        for (std::size_t i = 0; i < count && first + 2 * i + 1 < p.size(); ++i)
            polygon << QPoint(p[first + 2 * i], p[first + 2 * i + 1]);
        return polygon;
    }

    void polygon(bool closed, const std::vector<std::int16_t>& p) {
        if (p.empty()) return;
        const QPolygon polygon = points(p, 1, static_cast<std::uint16_t>(p[0]));
        painter_.setPen(state_.pen);
        if (closed) {
            painter_.setBrush(state_.brush);
            painter_.drawPolygon(polygon, state_.fill);
        } else {
            painter_.drawPolyline(polygon);
        }
    }

    void polyPolygon(const std::vector<std::int16_t>& p) {
        if (p.empty()) return;
        const std::size_t count = static_cast<std::uint16_t>(p[0]);
        if (count + 1 > p.size()) return;
        QPainterPath path;
        path.setFillRule(state_.fill);
        std::size_t at = 1 + count;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t n = static_cast<std::uint16_t>(p[1 + i]);
            path.addPolygon(points(p, at, n));
            path.closeSubpath();
            at += 2 * n;
        }
        painter_.setPen(state_.pen);
        painter_.setBrush(state_.brush);
        painter_.drawPath(path);
    }

    static std::string textAt(const std::vector<std::int16_t>& p, std::size_t first,
                              std::size_t length) {
        std::string text;
        for (std::size_t i = 0; i < length && first + i / 2 < p.size(); ++i)
            text += static_cast<char>((p[first + i / 2] >> (8 * (i % 2))) & 0xFF);
        return text;
    }

    void textOut(const std::vector<std::int16_t>& p) {
        if (p.empty()) return;
        const std::size_t length = static_cast<std::uint16_t>(p[0]);
        const std::size_t words = (length + 1) / 2;
        if (p.size() < 1 + words + 2) return;
        drawText(QPoint(p[1 + words + 1], p[1 + words]), textAt(p, 1, length));
    }

    void extTextOut(const std::vector<std::int16_t>& p) {
        if (p.size() < 4) return;
        const std::size_t length = static_cast<std::uint16_t>(p[2]);
        const bool rectangle = (p[3] & 0x6) != 0;  // opaque or clipped: a rectangle follows
        drawText(QPoint(p[1], p[0]), textAt(p, rectangle ? 8 : 4, length));
    }

    void drawText(const QPoint& at, const std::string& bytes) {
        const QString text =
            QString::fromStdString(platform::CodePage::windows1252().toUtf8(bytes));
        painter_.setFont(state_.font);
        painter_.setPen(state_.textColour);
        const QFontMetrics metrics(state_.font);
        QPointF origin = at;
        const int width = metrics.horizontalAdvance(text);
        if ((state_.textAlign & kTaCenter) == kTaCenter) {
            origin.rx() -= width / 2.0;
        } else if (state_.textAlign & kTaRight) {
            origin.rx() -= width;
        }
        if ((state_.textAlign & kTaBaseline) == kTaBaseline) {
            // the point is on the baseline already
        } else if (state_.textAlign & kTaBottom) {
            origin.ry() -= metrics.descent();
        } else {
            origin.ry() += metrics.ascent();
        }
        painter_.drawText(origin, text);
    }

    QPainter& painter_;
    QTransform base_;
    QRect target_;
    std::vector<std::optional<GraphicsObject>> objects_;
    DcState state_;
    std::vector<DcState> saved_;
};

}  // namespace

void Metafile::play(QPainter& painter, const QRect& target) const {
    if (target.isEmpty()) return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    Player player(painter, *this, target);
    for (const Record& record : records_) player.play(record);
    painter.restore();
}

}  // namespace kestrel::setup
