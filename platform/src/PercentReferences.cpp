#include "platform/PercentReferences.h"

namespace kestrel::platform {

std::string expandPercentReferences(
    std::string_view text,
    const std::function<std::optional<std::string>(std::string_view)>& lookup) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('%', pos);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        out += text.substr(pos, open - pos);
        if (auto value = lookup(text.substr(open + 1, close - open - 1))) {
            out += *value;
            pos = close + 1;
        } else {
            out += '%';
            pos = open + 1;
        }
    }
    out += text.substr(pos);
    return out;
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace kestrel::platform
