// Dialog units to pixels. The window is laid out in dialog units of its 8-point dialog
// font; at 96 dots per inch that font's base units are 6 pixels across (average character
// width) and 13 pixels down (character height). A dialog unit is a quarter of the first and
// an eighth of the second, rounded to the nearest pixel.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace kestrel::classic {

inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;

int dialogUnitsToPixelsX(int units);
int dialogUnitsToPixelsY(int units);
QRect dialogRect(int x, int y, int width, int height);
QSize dialogSize(int width, int height);

// The 8-point sans-serif font the dialog units belong to.
QFont dialogFont();

}  // namespace kestrel::classic
