#include <QPainter>
#include <fstream>
#include <optional>

#include "platform/AsciiCase.h"
#include "ui/background/DibFile.h"
#include "ui/background/LoadedPicture.h"

namespace kestrel::setup {

namespace {

// Bitmap files larger than this are no pictures of an installer.
constexpr std::uintmax_t kMaxFileSize = 256u * 1024 * 1024;

std::optional<std::string> readFile(const std::filesystem::path& file) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxFileSize) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) return std::nullopt;
    return bytes;
}

bool isMetafileName(const std::filesystem::path& file) {
    return platform::asciiLower(file.extension().string()) == ".wmf";
}

// Which of two depths fits a display of `bits` better.
bool fitsBetter(int candidate, int chosen, int bits) {
    const bool candidateFits = candidate <= bits, chosenFits = chosen <= bits;
    if (candidateFits != chosenFits) return candidateFits;
    return candidateFits ? candidate > chosen : candidate < chosen;
}

// Pixels of the transparent colour (the top-left pixel's with "none") become see-through.
QImage clearTransparent(const QImage& bitmap, std::uint32_t transparent) {
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb key =
        transparent == kColourNone
            ? image.pixel(0, 0) | 0xFF000000u
            : qRgb(transparent & 0xFF, (transparent >> 8) & 0xFF, (transparent >> 16) & 0xFF);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] | 0xFF000000u) == key) row[x] = 0;
        }
    }
    return image;
}

}  // namespace

QImage widenTile(const QImage& tile) {
    constexpr int kMinimum = 128;
    if (tile.isNull() || (tile.width() >= kMinimum && tile.height() >= kMinimum)) return tile;
    const int across = (kMinimum + tile.width() - 1) / tile.width();
    const int down = (kMinimum + tile.height() - 1) / tile.height();
    QImage wide(tile.width() * across, tile.height() * down, QImage::Format_ARGB32);
    wide.fill(Qt::transparent);
    QPainter painter(&wide);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int row = 0; row < down; ++row)
        for (int column = 0; column < across; ++column)
            painter.drawImage(column * tile.width(), row * tile.height(), tile);
    return wide;
}

LoadedPicture loadPicture(const std::vector<std::filesystem::path>& files,
                          const PictureSetting& setting, const PictureLoad& load) {
    std::optional<std::string> bestBitmap;
    int bestDepth = 0;
    std::shared_ptr<const Metafile> metafile;
    for (const std::filesystem::path& file : files) {
        const std::optional<std::string> bytes = readFile(file);
        if (!bytes) continue;
        if (isMetafileName(file)) {
            if (metafile) continue;
            if (auto parsed = Metafile::parse(*bytes))
                metafile = std::make_shared<const Metafile>(std::move(*parsed));
            continue;
        }
        const std::optional<DibHeader> header = checkDib(*bytes);
        if (!header) continue;
        if (!bestBitmap || fitsBetter(header->bitsPerPixel, bestDepth, load.displayBits)) {
            bestBitmap = bytes;
            bestDepth = header->bitsPerPixel;
        }
    }

    LoadedPicture picture;
    if (bestBitmap) picture.bitmap = decodeDib(*bestBitmap);
    if (!picture.bitmap.isNull()) {
        if (setting.flags & picture::kTransparent)
            picture.bitmap = clearTransparent(picture.bitmap, setting.transparent);
        if (load.widenTiles && (setting.flags & picture::kTile))
            picture.bitmap = widenTile(picture.bitmap);
        picture.width = picture.bitmap.width();
        picture.height = picture.bitmap.height();
    } else if (metafile) {
        picture.metafile = std::move(metafile);
        picture.width = picture.metafile->width(load.dpi);
        picture.height = picture.metafile->height(load.dpi);
    }
    return picture;
}

}  // namespace kestrel::setup
