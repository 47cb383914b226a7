// The browser's own pictures, drawn in code: the tree's image list, the two picture
// buttons in their four states, the login dialog's decorations and the window icon.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace kestrel::browser::qt {

// One icon per image position of the tree (kImageRoot ... kImageWorkstationGroup), 16×16
// with sharper versions for high-density screens.
QIcon treeIcon(int image);

enum class Picture { NdsTree, InventoryServer };
enum class PictureState { Up, Down, Focus, Disabled };
QPixmap buttonPicture(Picture picture, PictureState state);

// The login dialog's pictures beside the tree, user and password fields.
enum class Decoration { Tree, User, Alias };
QPixmap decoration(Decoration decoration);

QIcon programIcon();

}  // namespace kestrel::browser::qt
