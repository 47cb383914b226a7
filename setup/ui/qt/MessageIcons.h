#pragma once

#include <QPixmap>

#include "messages/MessageSpec.h"

namespace kestrel::setup {

// The four message icons, drawn here: stop, question, exclamation, information.
QPixmap messageIconPixmap(MessageIcon icon, int size);

}  // namespace kestrel::setup
