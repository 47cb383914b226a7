// Placeable Windows metafiles (.wmf): the drawing records of a picture, read and checked
// once, then played into any rectangle. We draw the records that pictures of installers
// use (pens, brushes, fonts, lines, rectangles, ellipses, polygons, text); others are passed
// over.
#pragma once

#include <QRect>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QPainter;

namespace kestrel::setup {

class Metafile {
  public:
    struct Record {
        std::uint16_t function = 0;
        std::vector<std::int16_t> params;  // the record's words after its function number
    };

    // The metafile of a file; nullopt when it is no placeable metafile, is cut short, or
    // claims an absurd size.
    static std::optional<Metafile> parse(std::string_view file);

    // The picture's own size in pixels: its bounding box in its units per inch, at `dpi`.
    int width(int dpi) const;
    int height(int dpi) const;
    // The records' logical space that the bounding box spans.
    QRect bounds() const { return bounds_; }
    int objectSlots() const { return objectSlots_; }
    const std::vector<Record>& records() const { return records_; }

    // Draws the picture so that its bounding box fills `target`.
    void play(QPainter& painter, const QRect& target) const;

  private:
    QRect bounds_;
    int unitsPerInch_ = 1;
    int objectSlots_ = 0;
    std::vector<Record> records_;
};

}  // namespace kestrel::setup
