// The installer's main window as a picture: the gradient, the background picture, the
// picture of the ShowPicture command, the logo and the ten background texts, drawn from the
// script's settings into an image of the window's client size. A plain function of what it
// is given, so that the window and the tests see the same pixels.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

#include "script/Layout.h"
#include "ui/background/LoadedPicture.h"

class QPainter;

namespace kestrel::setup {

struct ScenePicture {
    PictureSetting setting;
    LoadedPicture picture;  // empty: not drawn
};

struct SceneText {
    BackgroundText style;  // font, colour, coordinates and flags; its text is the script's
    QString text;          // as drawn: variables expanded, "\n" a line break (prepareText)
};

// The system's button colours of the frames around metafile pictures.
struct FrameColours {
    QColor shadow{0x80, 0x80, 0x80};
    QColor highlight{0xFF, 0xFF, 0xFF};
    QColor face{0xC0, 0xC0, 0xC0};
};

struct BackgroundScene {
    std::uint32_t colourFrom = kColourNone, colourTo = kColourNone;  // 0x00BBGGRR
    ScenePicture background, command, logo;
    std::vector<SceneText> texts;
    int displayBits = 32;  // 1 to 8: a palette display, whose gradient has 192 bands
    int width = 0, height = 0;
    int dpi = 96;
    FrameColours frame;
};

// The window's client area; where the first colour is "none" the pixels stay transparent
// (the window shows its own background there). A zero-sized window gives a null image.
QImage renderBackground(const BackgroundScene& scene);
// The same, onto a painter whose device is the client area.
void paintBackground(QPainter& painter, const BackgroundScene& scene);

QColor colourOf(std::uint32_t colour);

}  // namespace kestrel::setup
