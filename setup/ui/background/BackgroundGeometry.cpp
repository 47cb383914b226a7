#include "ui/background/BackgroundGeometry.h"

#include <algorithm>

namespace kestrel::setup {

int gradientBandCount(int displayBits) {
    return displayBits >= 1 && displayBits <= 8 ? 192 : 256;
}

std::vector<std::uint32_t> gradientPalette(std::uint32_t from, std::uint32_t to, int bands) {
    std::vector<std::uint32_t> palette;
    palette.reserve(static_cast<std::size_t>(std::max(bands, 0)));
    for (int i = 0; i < bands; ++i) {
        std::uint32_t entry = 0;
        for (int shift : {0, 8, 16}) {
            const int first = static_cast<int>((from >> shift) & 0xFF);
            const int second = static_cast<int>((to >> shift) & 0xFF);
            const int channel = first + i * (second - first) / bands;
            entry |= static_cast<std::uint32_t>(channel) << shift;
        }
        palette.push_back(entry);
    }
    return palette;
}

BandRows gradientBand(int band, int bands, int height) {
    const long long h = height;
    return {static_cast<int>(band * h / bands), static_cast<int>((band + 1) * h / bands)};
}

PixelRect pictureRectangle(const PictureSetting& setting, int pictureWidth, int pictureHeight,
                           int clientWidth, int clientHeight, int dpi) {
    int width = coordinateToPixels(setting.width, clientWidth, dpi);
    int height = coordinateToPixels(setting.height, clientHeight, dpi);
    if (width == 0) width = pictureWidth;
    if (height == 0) height = pictureHeight;
    int left = coordinateToPixels(setting.x, clientWidth, dpi);
    int top = coordinateToPixels(setting.y, clientHeight, dpi);
    if (left < 0) left = clientWidth + left - width;
    if (top < 0) top = clientHeight + top - height;
    const int right = std::min(left + width, clientWidth);
    const int bottom = std::min(top + height, clientHeight);
    left = std::max(left, 0);
    top = std::max(top, 0);
    return {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

PixelRect placePicture(const PixelRect& rectangle, int pictureWidth, int pictureHeight,
                       std::uint32_t flags) {
    using namespace picture;
    const long long rw = rectangle.width, rh = rectangle.height;
    const long long pw = pictureWidth, ph = pictureHeight;
    const bool shrink = (flags & kStretchMin) && (pw > rw || ph > rh);
    const bool enlarge = (flags & kStretchMax) && (pw < rw || ph < rh);
    long long width = pw, height = ph;
    if (shrink || enlarge) {
        width = rw;
        height = rh;
        if ((flags & kKeepRatio) && pw > 0 && ph > 0) {
            if (rh * pw <= rw * ph) {
                width = rh * pw / ph;
            } else {
                height = rw * ph / pw;
            }
        }
    }
    PixelRect drawn{rectangle.x, rectangle.y, static_cast<int>(width), static_cast<int>(height)};
    if (flags & kHCenter) drawn.x += static_cast<int>((rw - width) / 2);
    if (flags & kVCenter) drawn.y += static_cast<int>((rh - height) / 2);
    return drawn;
}

TextBox textBox(const BackgroundText& text, const TextBox& previousExtent, int clientWidth,
                int clientHeight, int dpi) {
    TextBox box{0, 0, clientWidth, clientHeight};
    box.left = text.x.empty ? previousExtent.right : coordinateToPixels(text.x, clientWidth, dpi);
    box.top = text.y.empty ? previousExtent.bottom : coordinateToPixels(text.y, clientHeight, dpi);
    if (!text.x.empty && box.left < 0) box.left += clientWidth;
    if (!text.y.empty && box.top < 0) box.top += clientHeight;
    if (text.flags & textflag::kShadow) {
        if (text.flags & textflag::kRight)
            box.right -= 4;
        else if (text.flags & textflag::kCenter)
            box.right -= 2;
        if (text.flags & textflag::kBottom)
            box.bottom -= 4;
        else if (text.flags & textflag::kVCenter)
            box.bottom -= 2;
    }
    return box;
}

TextBox textExtent(const TextBox& measured, std::uint32_t flags) {
    TextBox extent = measured;
    if (flags & textflag::kShadow) {
        extent.right += 4;
        extent.bottom += 4;
    }
    return extent;
}

const std::vector<Offset>& shadowOffsets() {
    static const std::vector<Offset> offsets = [] {
        std::vector<Offset> list;
        for (int k = 1; k <= 4; ++k) list.insert(list.end(), {{k, k}, {k - 1, k}, {k, k - 1}});
        return list;
    }();
    return offsets;
}

}  // namespace kestrel::setup
