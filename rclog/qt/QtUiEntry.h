// The one entry point of libquillbox_qt.so.
#pragma once

#include "Ui.h"

namespace kestrel::rclog {

inline constexpr const char* kQtUiLibrary = "libquillbox_qt.so";
inline constexpr const char* kCreateQtUiSymbol = "quillbox_create_qt_ui";

// Makes the Qt front end; the caller owns it. `programName` is argument 0 for Qt.
using CreateQtUi = Ui*(const char* programName);

}  // namespace kestrel::rclog

extern "C" kestrel::rclog::Ui* quillbox_create_qt_ui(const char* programName);
