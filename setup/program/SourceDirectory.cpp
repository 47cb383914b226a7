#include "program/SourceDirectory.h"

#include <algorithm>

#include "platform/WindowsPathParts.h"
#include "script/BuiltinVariables.h"

namespace kestrel::setup {

namespace {

std::string joined(const platform::WindowsPathParts& parts) {
    std::string path = parts.drive;
    for (std::size_t i = 0; i < parts.components.size(); ++i) {
        if (i > 0 || parts.absolute) path += '\\';
        path += parts.components[i];
    }
    return withTrailingBackslash(path.empty() && parts.absolute ? "\\" : path);
}

bool isAbsolute(std::string_view path) {
    return path.find(':') != std::string_view::npos || path.starts_with('\\');
}

}  // namespace

std::string sourceWithSrcDir(std::string_view source, std::string_view srcDir) {
    if (isAbsolute(srcDir)) return withTrailingBackslash(srcDir);
    return joined(platform::splitWindowsPath(withTrailingBackslash(source) + std::string(srcDir)));
}

std::string sourceAboveScriptCopy(std::string_view source, std::string_view setupInfDir) {
    const auto levels =
        static_cast<std::size_t>(std::ranges::count(withTrailingBackslash(setupInfDir), '\\'));
    platform::WindowsPathParts parts = platform::splitWindowsPath(source);
    parts.components.resize(parts.components.size() - std::min(levels, parts.components.size()));
    return joined(parts);
}

}  // namespace kestrel::setup
