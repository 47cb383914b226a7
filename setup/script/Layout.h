#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Expected.h"
#include "script/Fields.h"

namespace kestrel::setup {

// A coordinate of the background window: "10" points, "10%" of the client width or height,
// "10#" pixels; negative values count from the right or bottom edge.
struct Coordinate {
    enum class Unit { Points, Percent, Pixels };
    int value = 0;
    Unit unit = Unit::Points;
    bool empty = true;
};

Coordinate parseCoordinate(std::string_view text);
// Pixels for a coordinate against the client extent (width for x and width, height for y
// and height) and the display's pixels per logical inch: points count as
// value x dpi / 72 x 134 / 120.
int coordinateToPixels(const Coordinate& coordinate, int extent, int dpi);

inline constexpr std::uint32_t kColourNone = 0xFFFFFFFF;

// Picture flags (Logo, WizardPicture, BackgroundPicture, CopyDialogRect, ShowPicture).
namespace picture {
inline constexpr std::uint32_t kKeepRatio = 0x1, kStretchMin = 0x2, kStretchMax = 0x4,
                               kHCenter = 0x8, kVCenter = 0x10, kInside = 0x80,
                               kDoubleInside = 0x100, kTransparent = 0x200, kTile = 0x8000;
}
const std::vector<FlagName>& pictureFlagNames();

// Background text flags and font families.
namespace textflag {
inline constexpr std::uint32_t kLeft = 1, kRight = 2, kCenter = 4, kTop = 8, kVCenter = 0x10,
                               kBottom = 0x20, kBold = 0x40, kItalic = 0x80, kUnderline = 0x100,
                               kShadow = 0x200;
}
const std::vector<FlagName>& textFlagNames();
const std::vector<FlagName>& fontFamilyNames();
// The system's sound-playing flags (BackgroundSound, PlaySound).
const std::vector<FlagName>& soundFlagNames();

// "file[;file...], x, y, width, height, transparent colour, flags"
struct PictureSetting {
    std::vector<std::string> files;
    Coordinate x, y, width, height;
    std::uint32_t transparent = kColourNone;
    std::uint32_t flags = 0;
};

// "text, face, size, family, colour, x, y, flags"
struct BackgroundText {
    std::string text;
    std::string face;
    int size = 0;
    std::uint32_t family = 0;
    std::uint32_t colour = 0;
    Coordinate x, y;
    std::uint32_t flags = 0;
};

// "x, y, width, height, flags"
struct CopyDialogRect {
    Coordinate x, y, width, height;
    std::uint32_t flags = picture::kHCenter | picture::kVCenter;
};

// The error of these readers is the unknown flag word (message 5530).
platform::Expected<PictureSetting, std::string> parsePictureSetting(std::string_view text);
platform::Expected<BackgroundText, std::string> parseBackgroundText(std::string_view text);
platform::Expected<CopyDialogRect, std::string> parseCopyDialogRect(std::string_view text);

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};
// Where the progress window goes in the main window's client area: the rectangle of the
// setting (at least the dialog's own size, negative x or y from the right or bottom),
// the dialog moved by half the free width with HCENTER and half the free height with
// VCENTER.
PixelRect placeCopyDialog(const CopyDialogRect& rect, int clientWidth, int clientHeight,
                          int dialogWidth, int dialogHeight, int dpi);

}  // namespace kestrel::setup
