#include "script/Layout.h"

#include <algorithm>

#include "script/ScriptText.h"

namespace kestrel::setup {

namespace {

std::string_view fieldAt(const std::vector<std::string>& fields, std::size_t index) {
    return index < fields.size() ? std::string_view(fields[index]) : std::string_view();
}

}  // namespace

Coordinate parseCoordinate(std::string_view text) {
    text = trimBlanks(text);
    Coordinate coordinate;
    if (text.empty()) return coordinate;
    coordinate.empty = false;
    coordinate.value = readNumber(text);
    std::size_t end = 0;
    while (end < text.size() &&
           (text[end] == '-' || text[end] == '+' || (text[end] >= '0' && text[end] <= '9'))) {
        ++end;
    }
    const std::string_view unit = trimBlanks(text.substr(end));
    if (!unit.empty() && unit[0] == '%') coordinate.unit = Coordinate::Unit::Percent;
    if (!unit.empty() && unit[0] == '#') coordinate.unit = Coordinate::Unit::Pixels;
    return coordinate;
}

int coordinateToPixels(const Coordinate& coordinate, int extent, int dpi) {
    const long long value = coordinate.value;
    switch (coordinate.unit) {
        case Coordinate::Unit::Percent:
            return static_cast<int>(value * extent / 100);
        case Coordinate::Unit::Pixels:
            return coordinate.value;
        case Coordinate::Unit::Points:
            return static_cast<int>(value * dpi / 72 * 134 / 120);
    }
    return 0;
}

const std::vector<FlagName>& pictureFlagNames() {
    static const std::vector<FlagName> names = {
        {"NORMAL", 0},          {"KEEPRATIO", 0x1}, {"STRETCHMIN", 0x2}, {"STRETCHMAX", 0x4},
        {"HCENTER", 0x8},       {"VCENTER", 0x10},  {"INSIDE", 0x80},    {"DOUBLEINSIDE", 0x100},
        {"TRANSPARENT", 0x200}, {"TILE", 0x8000},
    };
    return names;
}

const std::vector<FlagName>& textFlagNames() {
    static const std::vector<FlagName> names = {
        {"LEFT", 1},      {"RIGHT", 2},   {"CENTER", 4},    {"TOP", 8},           {"VCENTER", 0x10},
        {"BOTTOM", 0x20}, {"BOLD", 0x40}, {"ITALIC", 0x80}, {"UNDERLINE", 0x100}, {"SHADOW", 0x200},
    };
    return names;
}

const std::vector<FlagName>& fontFamilyNames() {
    // The family goes into the font's pitch-and-family byte.
    static const std::vector<FlagName> names = {
        {"DONTCARE", 0x00}, {"ROMAN", 0x10},  {"SWISS", 0x20},
        {"MODERN", 0x30},   {"SCRIPT", 0x40}, {"DECORATIVE", 0x50},
    };
    return names;
}

const std::vector<FlagName>& soundFlagNames() {
    static const std::vector<FlagName> names = {
        {"SYNC", 0},           {"ASYNC", 0x1},        {"NODEFAULT", 0x2},
        {"MEMORY", 0x4},       {"LOOP", 0x8},         {"NOSTOP", 0x10},
        {"NOWAIT", 0x2000},    {"ALIAS", 0x10000},    {"ALIAS_ID", 0x110000},
        {"FILENAME", 0x20000}, {"RESOURCE", 0x40004}, {"PURGE", 0x40},
        {"APPLICATION", 0x80},
    };
    return names;
}

platform::Expected<PictureSetting, std::string> parsePictureSetting(std::string_view text) {
    const std::vector<std::string> fields = splitFields(text);
    const auto field = [&](std::size_t i) { return fieldAt(fields, i); };
    PictureSetting picture;
    std::string_view files = trimBlanks(field(0));
    while (!files.empty()) {
        const std::size_t semicolon = std::min(files.find(';'), files.size());
        if (const auto file = trimBlanks(files.substr(0, semicolon)); !file.empty()) {
            picture.files.emplace_back(file);
        }
        files.remove_prefix(std::min(files.size(), semicolon + 1));
    }
    picture.x = parseCoordinate(field(1));
    picture.y = parseCoordinate(field(2));
    picture.width = parseCoordinate(field(3));
    picture.height = parseCoordinate(field(4));
    if (!trimBlanks(field(5)).empty()) picture.transparent = readHex(field(5));
    auto flags = parseFlags(field(6), pictureFlagNames());
    if (!flags) return platform::unexpected(flags.error());
    picture.flags = *flags;
    return picture;
}

platform::Expected<BackgroundText, std::string> parseBackgroundText(std::string_view text) {
    const std::vector<std::string> fields = splitFields(text, 1024);
    const auto field = [&](std::size_t i) { return fieldAt(fields, i); };
    BackgroundText entry;
    entry.text = std::string(field(0));
    entry.face = std::string(trimBlanks(field(1)));
    entry.size = readNumber(field(2));
    auto family = parseFlags(field(3), fontFamilyNames());
    if (!family) return platform::unexpected(family.error());
    entry.family = *family;
    entry.colour = readHex(field(4));
    entry.x = parseCoordinate(field(5));
    entry.y = parseCoordinate(field(6));
    auto flags = parseFlags(field(7), textFlagNames());
    if (!flags) return platform::unexpected(flags.error());
    entry.flags = *flags;
    return entry;
}

platform::Expected<CopyDialogRect, std::string> parseCopyDialogRect(std::string_view text) {
    CopyDialogRect rect;
    if (trimBlanks(text).empty()) return rect;
    const std::vector<std::string> fields = splitFields(text);
    const auto field = [&](std::size_t i) { return fieldAt(fields, i); };
    rect.x = parseCoordinate(field(0));
    rect.y = parseCoordinate(field(1));
    rect.width = parseCoordinate(field(2));
    rect.height = parseCoordinate(field(3));
    auto flags = parseFlags(field(4), pictureFlagNames());
    if (!flags) return platform::unexpected(flags.error());
    rect.flags = *flags;
    return rect;
}

PixelRect placeCopyDialog(const CopyDialogRect& rect, int clientWidth, int clientHeight,
                          int dialogWidth, int dialogHeight, int dpi) {
    int width = rect.width.empty ? clientWidth : coordinateToPixels(rect.width, clientWidth, dpi);
    int height =
        rect.height.empty ? clientHeight : coordinateToPixels(rect.height, clientHeight, dpi);
    width = std::max(width, dialogWidth);
    height = std::max(height, dialogHeight);
    int x = coordinateToPixels(rect.x, clientWidth, dpi);
    int y = coordinateToPixels(rect.y, clientHeight, dpi);
    if (x < 0) x = clientWidth + x - width;
    if (y < 0) y = clientHeight + y - height;
    if (rect.flags & picture::kHCenter) x += (width - dialogWidth) / 2;
    if (rect.flags & picture::kVCenter) y += (height - dialogHeight) / 2;
    return {x, y, dialogWidth, dialogHeight};
}

}  // namespace kestrel::setup
