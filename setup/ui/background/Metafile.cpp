#include "ui/background/Metafile.h"

#include <cstdlib>

#include "ui/background/ByteReader.h"
#include "ui/background/DibFile.h"

namespace kestrel::setup {

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeader = 22;
constexpr std::size_t kMetaHeader = 18;

int toPixels(int units, int unitsPerInch, int dpi) {
    return static_cast<int>(static_cast<long long>(units) * dpi / unitsPerInch);
}

}  // namespace

std::optional<Metafile> Metafile::parse(std::string_view file) {
    const ByteReader read(file);
    if (file.size() < kPlaceableHeader + kMetaHeader || read.u32(0) != kPlaceableKey)
        return std::nullopt;
    const int left = *read.i16(6), top = *read.i16(8), right = *read.i16(10),
              bottom = *read.i16(12);
    Metafile metafile;
    metafile.unitsPerInch_ = *read.u16(14);
    if (right <= left || bottom <= top || metafile.unitsPerInch_ == 0) return std::nullopt;
    metafile.bounds_ = QRect(left, top, right - left, bottom - top);
    // At the highest resolution we draw at, the picture must stay within a sane bitmap.
    constexpr int kHighestDpi = 384;
    if (metafile.width(kHighestDpi) > kMaxPictureSide ||
        metafile.height(kHighestDpi) > kMaxPictureSide)
        return std::nullopt;

    const std::size_t header = kPlaceableHeader;
    const auto type = read.u16(header), headerWords = read.u16(header + 2);
    if ((type != 1 && type != 2) || headerWords != 9) return std::nullopt;
    metafile.objectSlots_ = *read.u16(header + 10);

    std::size_t at = header + kMetaHeader;
    for (;;) {
        const auto words = read.u32(at);
        const auto function = read.u16(at + 4);
        // A record holds at least its size and function; one running past the end means the
        // file was cut short.
        if (!words || !function || *words < 3 || *words > (file.size() - at) / 2)
            return std::nullopt;
        if (*function == 0) break;  // the end record
        Record record;
        record.function = *function;
        const std::size_t paramCount = *words - 3;
        record.params.reserve(paramCount);
        for (std::size_t i = 0; i < paramCount; ++i)
            record.params.push_back(*read.i16(at + 6 + 2 * i));
        metafile.records_.push_back(std::move(record));
        at += static_cast<std::size_t>(*words) * 2;
    }
    return metafile;
}

int Metafile::width(int dpi) const {
    return toPixels(bounds_.width(), unitsPerInch_, dpi);
}

int Metafile::height(int dpi) const {
    return toPixels(bounds_.height(), unitsPerInch_, dpi);
}

}  // namespace kestrel::setup
