// Shared drawing helpers of the artwork: a pixmap with a transparent background drawn in a
// fixed logical grid whatever its pixel size, and a few recurring shapes.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <functional>

namespace kestrel::browser::qt {

// Draws `paint` in a grid x grid coordinate space onto a transparent pixmap of `pixels`².
QPixmap drawPixmap(int pixels, double grid, const std::function<void(QPainter&)>& paint);

// A filled shape with a darker outline of the same hue, as all the icons use.
void outlined(QPainter& painter, const QColor& fill);

// A person seen from the front: head and shoulders, centred on x, standing on `bottom`.
void drawPerson(QPainter& painter, double x, double bottom, double scale, const QColor& fill);
// A monitor on a stand with a coloured screen.
void drawMonitor(QPainter& painter, const QRectF& frame, const QColor& screen);
// The directory tree picture: a node above three nodes, joined by lines.
void drawTreeDiagram(QPainter& painter, const QRectF& area, const QColor& node);

}  // namespace kestrel::browser::qt
