// The Qt front end lives in its own library, libquillbox_qt.so, loaded when the first window
// is needed: linking Qt into the program would cost every session the time to load it.
#pragma once

#include <memory>
#include <string>

#include "Ui.h"

namespace kestrel::rclog {

// The Qt front end, or the console one when the library cannot be loaded.
std::unique_ptr<Ui> loadQtUi(const std::string& programName);

}  // namespace kestrel::rclog
