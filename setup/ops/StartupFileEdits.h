#pragma once

#include <string_view>

#include "ops/StartupLine.h"
#include "ops/TextFileLines.h"

namespace kestrel::setup {

// What one line of a CONFIG.SYS or batch-file section does to the file's text.
// `remove`: the line's entry is taken away (a '-' line at installation, any other line at
// uninstallation); otherwise it is put in. The PATH line's directories are taken as given:
// the caller makes them short where the system wants short ones.
void applyStartupLine(TextFileLines& file, const StartupLine& line, bool remove);

}  // namespace kestrel::setup
