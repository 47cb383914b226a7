#include "ui/background/DibFile.h"

#include <QByteArray>

#include "ui/background/ByteReader.h"

namespace kestrel::setup {

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

bool sizeIsSane(long long width, long long height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

}  // namespace

std::optional<DibHeader> checkDib(std::string_view file) {
    const ByteReader read(file);
    if (file.size() < kFileHeader + 12 || file.substr(0, 2) != "BM") return std::nullopt;
    const std::uint32_t dataOffset = *read.u32(10);
    const std::uint32_t infoSize = *read.u32(kFileHeader);
    if (infoSize > 124 || file.size() < kFileHeader + infoSize) return std::nullopt;
    long long width = 0, height = 0;
    std::uint16_t planes = 0, bits = 0;
    std::uint32_t compression = kRgb, imageSize = 0, coloursUsed = 0;
    std::size_t paletteEntry = 4;
    if (infoSize == 12) {  // the old core header
        width = *read.u16(kFileHeader + 4);
        height = *read.u16(kFileHeader + 6);
        planes = *read.u16(kFileHeader + 8);
        bits = *read.u16(kFileHeader + 10);
        paletteEntry = 3;
    } else if (infoSize >= 40) {
        width = *read.i32(kFileHeader + 4);
        const long long h = *read.i32(kFileHeader + 8);
        height = h < 0 ? -h : h;  // negative: rows top-down
        planes = *read.u16(kFileHeader + 12);
        bits = *read.u16(kFileHeader + 14);
        compression = *read.u32(kFileHeader + 16);
        imageSize = *read.u32(kFileHeader + 20);
        coloursUsed = *read.u32(kFileHeader + 32);
    } else {
        return std::nullopt;
    }
    if (planes != 1 || !sizeIsSane(width, height)) return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;

    const long long paletteSize =
        bits <= 8 ? static_cast<long long>(coloursUsed != 0 ? coloursUsed : 1u << bits) : 0;
    if (bits <= 8 && paletteSize > (1LL << bits)) return std::nullopt;
    const long long masks = compression == kBitfields && infoSize == 40 ? 12 : 0;
    const long long headersEnd =
        static_cast<long long>(kFileHeader + infoSize) + masks + paletteSize * paletteEntry;
    const long long fileSize = static_cast<long long>(file.size());
    if (dataOffset < headersEnd || dataOffset > fileSize) return std::nullopt;

    long long pixelBytes = 0;
    if (compression == kRgb || compression == kBitfields) {
        if (compression == kBitfields && bits != 16 && bits != 32) return std::nullopt;
        pixelBytes = (width * bits + 31) / 32 * 4 * height;
    } else if ((compression == kRle8 && bits == 8) || (compression == kRle4 && bits == 4)) {
        pixelBytes = imageSize;
        if (pixelBytes == 0) return std::nullopt;
    } else {
        return std::nullopt;  // embedded JPEG or PNG and unknown kinds
    }
    if (pixelBytes > fileSize - dataOffset) return std::nullopt;
    return DibHeader{static_cast<int>(width), static_cast<int>(height), bits};
}

QImage decodeDib(std::string_view file) {
    if (!checkDib(file)) return {};
    return QImage::fromData(
        QByteArray::fromRawData(file.data(), static_cast<qsizetype>(file.size())), "BMP");
}

}  // namespace kestrel::setup
