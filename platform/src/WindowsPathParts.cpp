#include "platform/WindowsPathParts.h"

#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"

namespace kestrel::platform {

namespace {

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

WindowsPathParts splitWindowsPath(std::string_view path) {
    WindowsPathParts parts;
    for (const std::string_view device : {"\\\\?\\", "\\??\\"}) {
        if (path.substr(0, device.size()) == device) {
            path.remove_prefix(device.size());
            if (path.size() >= 4 && equalsIgnoreAsciiCase(path.substr(0, 3), "UNC") &&
                isWindowsPathSeparator(path[3])) {
                return splitWindowsPath("\\\\" + std::string(path.substr(4)));
            }
            break;
        }
    }
    std::size_t pos = 0;
    if (path.size() >= 2 && isWindowsPathSeparator(path[0]) && isWindowsPathSeparator(path[1])) {
        // \\server\share counts as the drive.
        std::vector<std::string> names;
        pos = 2;
        while (names.size() < 2 && pos < path.size()) {
            std::size_t end = pos;
            while (end < path.size() && !isWindowsPathSeparator(path[end])) ++end;
            if (end > pos) names.emplace_back(path.substr(pos, end - pos));
            pos = end + 1;
        }
        parts.drive = "\\";
        for (const std::string& name : names) parts.drive += "\\" + name;
        parts.absolute = true;
    } else if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':') {
        parts.drive = {asciiUpper(path[0]), ':'};
        parts.absolute = true;
        pos = 2;
    } else if (!path.empty() && isWindowsPathSeparator(path[0])) {
        parts.absolute = true;
    }
    while (pos < path.size()) {
        std::size_t end = pos;
        while (end < path.size() && !isWindowsPathSeparator(path[end])) ++end;
        const std::string_view name = path.substr(pos, end - pos);
        if (name == "..") {
            if (!parts.components.empty()) parts.components.pop_back();
        } else if (!name.empty() && name != ".") {
            parts.components.emplace_back(name);
        }
        pos = end + 1;
    }
    return parts;
}

}  // namespace kestrel::platform
