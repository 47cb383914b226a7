#pragma once

#include <functional>
#include <optional>
#include <string>

#include "script/Layout.h"

namespace kestrel::setup {

// Where the progress window stands: inside the main window, at CopyDialogRect (centred when
// there is none), or as a window of its own.
struct ProgressPlacement {
    bool popup = false;
    std::optional<CopyDialogRect> rect;
};

// What the progress window shows at a moment: "Copying:" and the source (or "Deleting:"
// and the file), "to:" and the destination, the meter and its percentage.
struct ProgressView {
    bool visible = false;
    bool cancelVisible = true;
    bool helpVisible = false;
    std::string title;
    std::string firstLabel, first;
    std::string secondLabel, second;
    bool meterVisible = true;    // off for a status without a measure of its own
    int percent = 0;             // 0-100
    std::string meter;           // the percentage as shown ("42%")
    std::function<void()> help;  // the Help button
    ProgressPlacement placement;
};

}  // namespace kestrel::setup
