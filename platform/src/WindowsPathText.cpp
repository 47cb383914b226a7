#include "platform/WindowsPathText.h"

#include <vector>

#include "platform/AsciiCase.h"
#include "platform/Registry.h"

namespace kestrel::platform {

namespace {

std::string_view separatorSet(PathSeparators separators) {
    switch (separators) {
        case PathSeparators::BackslashOrSlash:
            return "\\/";
        case PathSeparators::BackslashOrColon:
            return "\\:";
        case PathSeparators::BackslashSlashOrColon:
            return "\\/:";
        case PathSeparators::Backslash:
            break;
    }
    return "\\";
}

std::string_view trimmedOf(std::string_view text, std::string_view around) {
    const std::size_t first = text.find_first_not_of(around);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(around) - first + 1);
}

}  // namespace

bool isWindowsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string_view fileNamePart(std::string_view path, PathSeparators separators) {
    const std::size_t last = path.find_last_of(separatorSet(separators));
    return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::string_view directoryPart(std::string_view path, PathSeparators separators) {
    const std::size_t last = path.find_last_of(separatorSet(separators));
    return last == std::string_view::npos ? std::string_view() : path.substr(0, last);
}

std::string_view directoryPartKeepingRoot(std::string_view path) {
    const std::size_t last = path.find_last_of('\\');
    if (last == 2 && path[1] == ':') return path.substr(0, 3);
    return directoryPart(path);
}

std::string_view withoutTrailingBackslash(std::string_view path) {
    if (path.size() > 1 && path.back() == '\\') path.remove_suffix(1);
    return path;
}

std::string_view withoutTrailingBackslashes(std::string_view path) {
    while (path.ends_with('\\')) path.remove_suffix(1);
    return path;
}

std::string joinWindowsPath(std::string_view directory, std::string_view name) {
    std::string path(directory);
    if (!path.empty() && !isWindowsPathSeparator(path.back())) path += '\\';
    path += name;
    return path;
}

bool hasExtension(std::string_view path, std::string_view extension) {
    return endsWithIgnoreAsciiCase(path, extension);
}

std::string_view trimBlanks(std::string_view text) {
    return trimmedOf(text, " \t");
}

std::string_view trimWhitespace(std::string_view text) {
    return trimmedOf(text, " \t\r\n");
}

std::string parentRegistryKey(std::string_view key) {
    const std::vector<std::string> names = registryKeyComponents(key);
    std::string parent;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        if (i > 0) parent += '\\';
        parent += names[i];
    }
    return parent;
}

}  // namespace kestrel::platform
