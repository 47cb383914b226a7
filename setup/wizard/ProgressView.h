#pragma once

#include <functional>
#include <string>

namespace kestrel::setup {

// What the progress window shows at a moment: "Copying:" and the source (or "Deleting:"
// and the file), "to:" and the destination, the meter and its percentage.
struct ProgressView {
    bool visible = false;
    bool cancelVisible = true;
    bool helpVisible = false;
    std::string title;
    std::string firstLabel, first;
    std::string secondLabel, second;
    int percent = 0;             // 0-100
    std::string meter;           // the percentage as shown ("42%")
    std::function<void()> help;  // the Help button
};

}  // namespace kestrel::setup
