#include "ui/PreparedText.h"

#include "platform/AsciiCase.h"

namespace kestrel::setup {

std::string prepareBackgroundText(std::string_view text, const Expander& expander) {
    const std::string expanded = expander.expand(text);
    std::string prepared;
    prepared.reserve(expanded.size());
    for (std::size_t i = 0; i < expanded.size(); ++i) {
        if (expanded[i] == '\\' && i + 1 < expanded.size() && expanded[i + 1] == 'n') {
            prepared += '\n';
            ++i;
        } else {
            prepared += expanded[i];
        }
    }
    const std::string lower = platform::asciiLower(text);
    if (lower.find("%user%") != std::string::npos || lower.find("%company%") != std::string::npos) {
        while (!prepared.empty() && prepared.back() == ' ') prepared.pop_back();
        if (!prepared.empty() && prepared.back() == ',') prepared.pop_back();
    }
    return prepared;
}

}  // namespace kestrel::setup
