// Dialog units: the layout measure of the logger's windows, a quarter of the font's average
// character width across and an eighth of its height down.
#pragma once

#include <QRect>

class QWidget;

namespace kestrel::rclog {

QRect dialogRect(const QWidget& widget, int x, int y, int width, int height);
QSize dialogSize(const QWidget& widget, int width, int height);

}  // namespace kestrel::rclog
