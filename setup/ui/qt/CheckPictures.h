#pragma once

#include <QRect>

#include "components/ComponentPage.h"

class QPainter;

namespace kestrel::setup {

// The side of the square the check-state pictures are drawn in.
inline constexpr int kCheckPictureSize = 16;

// Draws a component's check-state picture ourselves, in the look UseCheckmarks asks for:
// bulbs lit or dark (plain black and white on a two-colour display), one check box for
// both states, or check marks (a tick, a grey tick for partly) with radio buttons for
// group members.
void paintCheckPicture(QPainter& painter, const QRect& box, const CheckPicture& picture);

}  // namespace kestrel::setup
