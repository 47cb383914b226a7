#include "DialogUnits.h"

namespace kestrel::classic {

namespace {

// value * numerator / denominator rounded half away from zero.
int scaled(int value, int numerator, int denominator) {
    long long product = static_cast<long long>(value) * numerator;
    long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

int dialogUnitsToPixelsX(int units) {
    return scaled(units, kBaseUnitX, 4);
}
int dialogUnitsToPixelsY(int units) {
    return scaled(units, kBaseUnitY, 8);
}

QRect dialogRect(int x, int y, int width, int height) {
    int left = dialogUnitsToPixelsX(x), top = dialogUnitsToPixelsY(y);
    return QRect(left, top, dialogUnitsToPixelsX(x + width) - left,
                 dialogUnitsToPixelsY(y + height) - top);
}

QSize dialogSize(int width, int height) {
    return QSize(dialogUnitsToPixelsX(width), dialogUnitsToPixelsY(height));
}

QFont dialogFont() {
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace kestrel::classic
