#include "ui/background/BackgroundRenderer.h"

#include <QPainter>

#include "ui/background/BackgroundGeometry.h"
#include "ui/background/BackgroundTexts.h"

namespace kestrel::setup {

namespace {

QRect toQRect(const PixelRect& rect) {
    return QRect(rect.x, rect.y, rect.width, rect.height);
}

void paintGradient(QPainter& painter, const BackgroundScene& scene) {
    if (scene.colourFrom == kColourNone) return;
    if (scene.colourFrom == scene.colourTo || scene.colourTo == kColourNone) {
        painter.fillRect(0, 0, scene.width, scene.height, colourOf(scene.colourFrom));
        return;
    }
    const int bands = gradientBandCount(scene.displayBits);
    const std::vector<std::uint32_t> palette =
        gradientPalette(scene.colourFrom, scene.colourTo, bands);
    for (int band = 0; band < bands; ++band) {
        const BandRows rows = gradientBand(band, bands, scene.height);
        if (rows.bottom > rows.top)
            painter.fillRect(0, rows.top, scene.width, rows.bottom - rows.top,
                             colourOf(palette[static_cast<std::size_t>(band)]));
    }
}

// Sunken frames one (and with DOUBLEINSIDE two) pixels inside the rectangle: the top and
// left edges dark, the bottom and right light, the two other corners in between.
void paintFrame(QPainter& painter, const QRect& rect, int inset, const QColor& topLeft,
                const QColor& bottomRight, const QColor& corners) {
    const QRect r = rect.adjusted(inset, inset, -inset, -inset);
    if (r.width() < 1 || r.height() < 1) return;
    painter.fillRect(r.left(), r.top(), r.width(), 1, topLeft);
    painter.fillRect(r.left(), r.top(), 1, r.height(), topLeft);
    painter.fillRect(r.left() + 1, r.bottom(), r.width(), 1, bottomRight);
    painter.fillRect(r.right(), r.top() + 1, 1, r.height(), bottomRight);
    painter.fillRect(r.right(), r.top(), 1, 1, corners);
    painter.fillRect(r.left(), r.bottom(), 1, 1, corners);
}

void paintOnce(QPainter& painter, const ScenePicture& picture, const QRect& cell,
               const FrameColours& colours) {
    const LoadedPicture& loaded = picture.picture;
    const QRect drawn = toQRect(placePicture({cell.x(), cell.y(), cell.width(), cell.height()},
                                             loaded.width, loaded.height, picture.setting.flags));
    const bool cut = !cell.contains(drawn);
    if (cut) {
        painter.save();
        painter.setClipRect(cell);
    }
    if (!loaded.bitmap.isNull()) {
        painter.drawImage(drawn, loaded.bitmap);
    } else if (loaded.metafile) {
        loaded.metafile->play(painter, drawn);
    }
    if (cut) painter.restore();
    if (!loaded.metafile) return;
    const std::uint32_t flags = picture.setting.flags;
    if (flags & (picture::kInside | picture::kDoubleInside))
        paintFrame(painter, cell, 1, colours.shadow, colours.highlight, colours.face);
    if (flags & picture::kDoubleInside)
        paintFrame(painter, cell, 2, Qt::black, colours.face, colours.shadow);
}

void paintPicture(QPainter& painter, const ScenePicture& picture, const BackgroundScene& scene) {
    if (picture.picture.empty()) return;
    const QRect rect =
        toQRect(pictureRectangle(picture.setting, picture.picture.width, picture.picture.height,
                                 scene.width, scene.height, scene.dpi));
    if (rect.isEmpty()) return;
    if (!(picture.setting.flags & picture::kTile)) {
        paintOnce(painter, picture, rect, scene.frame);
        return;
    }
    for (int y = 0; y < scene.height; y += rect.height())
        for (int x = 0; x < scene.width; x += rect.width())
            paintOnce(painter, picture, QRect(x, y, rect.width(), rect.height()), scene.frame);
}

}  // namespace

QColor colourOf(std::uint32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

void paintBackground(QPainter& painter, const BackgroundScene& scene) {
    paintGradient(painter, scene);
    for (const ScenePicture* picture : {&scene.background, &scene.command, &scene.logo})
        paintPicture(painter, *picture, scene);
    paintTexts(painter, scene);
}

QImage renderBackground(const BackgroundScene& scene) {
    if (scene.width <= 0 || scene.height <= 0) return {};
    QImage image(scene.width, scene.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintBackground(painter, scene);
    return image;
}

}  // namespace kestrel::setup
