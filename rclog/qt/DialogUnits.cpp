#include "DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

namespace kestrel::rclog {

namespace {

struct BaseUnits {
    int x;
    int y;
};

BaseUnits baseUnits(const QWidget& widget) {
    const QFontMetrics metrics(widget.font());
    const int alphabet =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {(alphabet / 26 + 1) / 2, metrics.height()};
}

}  // namespace

QRect dialogRect(const QWidget& widget, int x, int y, int width, int height) {
    const BaseUnits units = baseUnits(widget);
    return {x * units.x / 4, y * units.y / 8, width * units.x / 4, height * units.y / 8};
}

QSize dialogSize(const QWidget& widget, int width, int height) {
    return dialogRect(widget, 0, 0, width, height).size();
}

}  // namespace kestrel::rclog
