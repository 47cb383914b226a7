#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

// Splits a Windows path into drive ("C:", "\\server\share" or empty) and components,
// dropping empty components and "." and resolving "..".
struct WindowsPathParts {
    std::string drive;
    std::vector<std::string> components;
    bool absolute = false;  // began at a drive's root or with a backslash
};
WindowsPathParts splitWindowsPath(std::string_view path);

}  // namespace kestrel::platform
