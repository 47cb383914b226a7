#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "messages/MessageBoxRequest.h"

namespace kestrel::setup {

struct DuSize {
    int width = 0;
    int height = 0;
    bool operator==(const DuSize&) const = default;
};

struct DuRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const DuRect&) const = default;
};

// Measures a text in dialog units, wrapped at word boundaries to at most `maxWidth`, tabs
// expanded, "&" an ordinary character.
using TextMeasure = std::function<DuSize(std::string_view text, int maxWidth)>;

// Where everything of a message box goes, in dialog units of the box's font.
struct MessageLayout {
    struct Button {
        MessageButton button;
        DuRect rect;
    };
    DuRect icon;
    DuRect text;
    std::vector<Button> buttons;
    std::size_t focus = 0;  // index into buttons
    DuSize client;
    bool closable = false;
};

// The box's layout: the text measured within 240 units, the icon left of it and centred
// against it, the button row below (58 units a button, centred under a wider text).
MessageLayout layoutMessageBox(const MessageBoxRequest& box, const TextMeasure& measure,
                               DuSize iconSize);

// Dialog units to pixels with the font's dialog base units (a horizontal unit is a quarter
// of the average character width, a vertical unit an eighth of the character height).
struct DialogBaseUnits {
    int x = 4;
    int y = 8;
};
int horizontalPixels(int units, DialogBaseUnits base);
int verticalPixels(int units, DialogBaseUnits base);

// The box's place on a screen: centred, x on a multiple of 8 pixels, at least 8 pixels
// inside every edge.
struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};
PixelPoint placeMessageBox(int boxWidth, int boxHeight, int screenWidth, int screenHeight);

}  // namespace kestrel::setup
