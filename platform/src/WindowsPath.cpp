#include <cstdlib>

#include "platform/Places.h"
#include "platform/ShellLink.h"

namespace kestrel::platform {

namespace {

namespace fs = std::filesystem;

fs::path defaultPrefixDriveC() {
    return winePrefix() / "drive_c";
}

// The part of `path` below `base`, when `path` is `base` or lies inside it.
std::optional<fs::path> below(const fs::path& path, const fs::path& base) {
    auto p = path.begin();
    for (auto b = base.begin(); b != base.end(); ++b, ++p) {
        if (b->empty()) continue;  // the trailing separator of "dir/"
        if (p == path.end() || *p != *b) return std::nullopt;
    }
    fs::path rest;
    for (; p != path.end(); ++p) rest /= *p;
    return rest;
}

std::string withDrive(char drive, const fs::path& relative) {
    std::string out{drive, ':', '\\'};
    bool first = true;
    for (const fs::path& part : relative) {
        if (part.empty()) continue;
        if (!first) out += '\\';
        out += part.string();
        first = false;
    }
    return out;
}

}  // namespace

std::string windowsPathOf(const std::filesystem::path& hostPath) {
    if (hostPath.empty()) return {};
    std::error_code error;
    fs::path absolute = fs::absolute(hostPath, error);
    if (error) absolute = fs::path("/") / hostPath;
    absolute = absolute.lexically_normal();
    if (const auto inDriveC = below(absolute, defaultPrefixDriveC())) {
        return withDrive('C', *inDriveC);
    }
    return withDrive('Z', absolute.relative_path());
}

}  // namespace kestrel::platform
