// rmviewer's own artwork: a monitor with the program's sign on its screen.
#pragma once

#include <QIcon>

#include "RemoteProgram.h"

namespace kestrel::rmviewer {

QIcon programIcon(Program program);

}  // namespace kestrel::rmviewer
