// The background texts of the main window, drawn in order over the pictures.
#pragma once

#include <QFont>
#include <QRect>
#include <vector>

#include "script/Layout.h"

class QPainter;

namespace kestrel::setup {

struct BackgroundScene;

// The font of a text: its face, its size in points at `dpi`, weight, slant, underline and
// family as a style hint.
QFont backgroundFont(const BackgroundText& text, int dpi);

// Draws Text1 to Text10 and returns the extent of each (the measured text, with SHADOW 4
// pixels larger to the right and below; a null rectangle for a text that is not drawn:
// one without a font face or without text).
std::vector<QRect> paintTexts(QPainter& painter, const BackgroundScene& scene);

}  // namespace kestrel::setup
