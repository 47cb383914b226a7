// The tree's image list, drawn here: 18 images of 17 by 17 pixels whose positions are the
// class codes (0 [Root], 1 country, 2 organisation, 3 organisational unit, 4 alias, 5 user,
// 6 group, 7 server, 8 queue, 9 print server, 10 volume, 11 bindery object, 12 profile,
// 13 printer, 14 unknown, 15 disabled root, 16 workstation, 17 locality), and the program icon.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QVector>

namespace kestrel::classic {

inline constexpr int kTreeImageSize = 17;

const QVector<QPixmap>& treeImages();
QIcon programIcon();

}  // namespace kestrel::classic
