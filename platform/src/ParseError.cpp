#include "platform/Expected.h"

namespace kestrel::platform {

std::string ParseError::describe() const {
    std::string text = file;
    if (line > 0) {
        text += (text.empty() ? "line " : ":") + std::to_string(line);
        if (column > 0) text += ":" + std::to_string(column);
    }
    if (!text.empty()) text += ": ";
    return text + message;
}

}  // namespace kestrel::platform
