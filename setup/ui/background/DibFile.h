// Device-independent bitmap files (.bmp), checked before any decoder sees them: a header
// that claims an absurd size or more pixel data than the file holds leaves the picture out
// rather than costing a huge allocation or a read past the end.
#pragma once

#include <QImage>
#include <optional>
#include <string_view>

namespace kestrel::setup {

// The largest bitmap the installer draws: 16384 pixels a side, 32 million pixels in all.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr long long kMaxPicturePixels = 32LL * 1024 * 1024;

struct DibHeader {
    int width = 0, height = 0;
    int bitsPerPixel = 0;
};

// The header of a complete, sound bitmap file; nullopt for anything else.
std::optional<DibHeader> checkDib(std::string_view file);
// The bitmap decoded; a null image when the file fails the checks or does not decode.
QImage decodeDib(std::string_view file);

}  // namespace kestrel::setup
