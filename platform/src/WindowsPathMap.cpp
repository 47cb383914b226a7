#include "platform/WindowsPathMap.h"

#include <dirent.h>

#include <string_view>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/RegistryKey.h"
#include "platform/ShortName.h"
#include "platform/WindowsPathParts.h"
#include "platform/WineDrives.h"

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// Calls `visit` with the name of each entry of `dir`. Straight from the directory stream:
// this runs for every file an installation makes, and paths per entry would cost more than
// the listing itself.
template <typename Visit>
void forEachEntry(const fs::path& dir, Visit visit) {
    DIR* stream = ::opendir(dir.c_str());
    if (stream == nullptr) return;
    while (const dirent* entry = ::readdir(stream)) {
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..") visit(name);
    }
    ::closedir(stream);
}

std::vector<std::string> directoryEntries(const fs::path& dir) {
    std::vector<std::string> names;
    forEachEntry(dir, [&](std::string_view name) { names.emplace_back(name); });
    return names;
}

// The entry of `dir` that `name` means: the exact name, else the first (in name order) that
// equals it without regard to case, else the long name whose short name it is; nullopt when
// there is none.
std::optional<std::string> findEntry(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(dir / name, ec))) return name;
    std::optional<std::string> match;
    forEachEntry(dir, [&](std::string_view entry) {
        if (equalsIgnoreAsciiCase(entry, name) && (!match || RegistryNameLess{}(entry, *match)))
            match = std::string(entry);
    });
    if (match || name.find('~') == std::string::npos || !isShortName(name)) return match;
    // A short name stands for the long name it was derived from, as on Windows (restart
    // lines in WININIT.INI, for one, are written with short paths).
    const std::vector<std::string> entries = directoryEntries(dir);
    for (const std::string& entry : entries) {
        if (!isShortName(entry) && equalsIgnoreAsciiCase(shortNameIn(entries, entry), name)) {
            return entry;
        }
    }
    return std::nullopt;
}

struct ResolvedPath {
    fs::path host;
    WindowsPathParts parts;
    std::vector<std::string> hostNames;  // the name each component has on disk (or as written)
};

std::optional<ResolvedPath> resolve(const fs::path& prefix, std::string_view windowsPath,
                                    std::string_view base) {
    WindowsPathParts parts = splitWindowsPath(windowsPath);
    if (!parts.absolute) {
        std::string joined(base.empty() ? "C:\\" : base);
        joined += '\\';
        joined += windowsPath;
        parts = splitWindowsPath(joined);
    }
    if (parts.drive.empty()) parts.drive = "C:";
    ResolvedPath result;
    const WineDrives drives(prefix);
    if (parts.drive.size() > 2) {  // \\server\share
        const WindowsPathParts share = splitWindowsPath(parts.drive.substr(1));
        result.host = drives.uncFolder();
        for (const std::string& part : share.components) result.host /= part;
    } else {
        std::error_code ec;
        if (fs::exists(drives.dosdevices(), ec)) {
            result.host = drives.driveLink(parts.drive[0]);
            if (!fs::is_directory(result.host, ec)) return std::nullopt;
        } else {
            // A prefix not made yet: what lies on its C: is missing as yet.
            result.host = drives.defaultDriveFolder(parts.drive[0]);
            if (result.host.empty()) return std::nullopt;
        }
    }
    bool exists = true;
    for (const std::string& component : parts.components) {
        std::optional<std::string> entry;
        if (exists) entry = findEntry(result.host, component);
        exists = entry.has_value();
        result.hostNames.push_back(entry.value_or(component));
        result.host /= result.hostNames.back();
    }
    result.parts = std::move(parts);
    return result;
}

}  // namespace

std::optional<fs::path> WindowsPathMap::hostPath(std::string_view windowsPath,
                                                 std::string_view base) const {
    auto resolved = resolve(prefix_, codePage_->toUtf8(windowsPath), codePage_->toUtf8(base));
    if (!resolved) return std::nullopt;
    return resolved->host;
}

std::string WindowsPathMap::windowsPath(const fs::path& hostPath) const {
    const WineDrives drives(prefix_);
    std::error_code ec;
    if (!fs::exists(drives.dosdevices(), ec))
        return codePage_->fromUtf8(windowsPathOf(hostPath, prefix_));
    return codePage_->fromUtf8(drives.windowsPath(hostPath));
}

std::string WindowsPathMap::shortPath(std::string_view windowsPath) const {
    const CodePage& codePage = *codePage_;
    auto resolved = resolve(prefix_, codePage.toUtf8(windowsPath), {});
    if (!resolved) return std::string(windowsPath);
    fs::path dir = resolved->host;
    for (std::size_t i = 0; i < resolved->hostNames.size(); ++i) dir = dir.parent_path();
    std::string result = resolved->parts.drive;
    for (const std::string& name : resolved->hostNames) {
        result += "\\" + codePage.fromUtf8(shortNameIn(directoryEntries(dir), name));
        dir /= name;
    }
    if (resolved->hostNames.empty() || (!windowsPath.empty() && isSeparator(windowsPath.back()))) {
        result += '\\';
    }
    return result;
}

}  // namespace kestrel::platform
