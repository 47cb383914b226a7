// Where the main window's gradient bands, pictures and texts go: plain arithmetic on the
// window's client size, kept apart from the drawing so that the rules can be checked alone.
#pragma once

#include <cstdint>
#include <vector>

#include "script/Layout.h"

namespace kestrel::setup {

// The gradient has 192 bands on displays of 2 to 256 colours (1 to 8 bits per pixel), 256
// on all others.
int gradientBandCount(int displayBits);
// Entry i of the gradient palette: from + i x (to - from) / n per channel (0x00BBGGRR).
std::vector<std::uint32_t> gradientPalette(std::uint32_t from, std::uint32_t to, int bands);
// Band i covers the rows from i x height / n up to (i + 1) x height / n.
struct BandRows {
    int top = 0, bottom = 0;
};
BandRows gradientBand(int band, int bands, int height);

// A picture's rectangle in the client area: its coordinates in pixels, 0 for the picture's
// own width or height, negative x or y from the right or bottom edge, then cut to the area.
PixelRect pictureRectangle(const PictureSetting& setting, int pictureWidth, int pictureHeight,
                           int clientWidth, int clientHeight, int dpi);

// Where a picture of its own size is drawn inside its rectangle by the scaling and centring
// flags: the drawn place may begin left of or above the rectangle (an unscaled, centred
// picture larger than it), and the caller cuts it to the rectangle.
PixelRect placePicture(const PixelRect& rectangle, int pictureWidth, int pictureHeight,
                       std::uint32_t flags);

// A background text's layout rectangle before the text is measured: left and top from the
// coordinates (empty ones follow the previous text's extent), right and bottom the client
// area's edges, pulled in with SHADOW so that the shadow stays inside.
struct TextBox {
    int left = 0, top = 0, right = 0, bottom = 0;
};
TextBox textBox(const BackgroundText& text, const TextBox& previousExtent, int clientWidth,
                int clientHeight, int dpi);
// The extent that the next text follows: the measured text, 4 pixels larger to the right and
// below with SHADOW.
TextBox textExtent(const TextBox& measured, std::uint32_t flags);

// The shadow of a text: twelve black copies at (k, k), (k - 1, k) and (k, k - 1) for k from 1
// to 4, in that order.
struct Offset {
    int dx = 0, dy = 0;
};
const std::vector<Offset>& shadowOffsets();

}  // namespace kestrel::setup
