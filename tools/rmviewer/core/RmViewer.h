// One start of the stand-in: record it, then show what it was asked to do.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Ui.h"

namespace kestrel::rmviewer {

// Appends the record line when `recordFile` is set (a failure becomes a note in the window)
// and presents the summary of `argv`.
void startViewer(const std::vector<std::string>& argv,
                 const std::optional<std::filesystem::path>& recordFile, Ui& ui);

}  // namespace kestrel::rmviewer
