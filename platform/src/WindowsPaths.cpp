// Windows paths of a machine root and their host counterparts.
#include <algorithm>

#include "platform/AsciiCase.h"
#include "platform/MachineRoot.h"
#include "platform/RegistryKey.h"
#include "platform/ShortName.h"

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::vector<std::string> directoryEntries(const fs::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    return names;
}

// The entry of `dir` that `name` means: the exact name, else the first (in name order) that
// equals it without regard to case; nullopt when there is none.
std::optional<std::string> findEntry(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(dir / name, ec))) return name;
    std::optional<std::string> match;
    for (const std::string& entry : directoryEntries(dir)) {
        if (equalsIgnoreAsciiCase(entry, name) && (!match || RegistryNameLess{}(entry, *match))) {
            match = entry;
        }
    }
    return match;
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
    if (parts.drive.size() > 2) {  // \\server\share
        const WindowsPathParts share = splitWindowsPath(parts.drive.substr(1));
        result.host = prefix / "dosdevices" / "unc";
        for (const std::string& part : share.components) result.host /= part;
    } else {
        result.host = prefix / "dosdevices" / (asciiLower(parts.drive));
        std::error_code ec;
        if (!fs::is_directory(result.host, ec)) return std::nullopt;
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

WindowsPathParts splitWindowsPath(std::string_view path) {
    WindowsPathParts parts;
    for (const std::string_view device : {"\\\\?\\", "\\??\\"}) {
        if (path.substr(0, device.size()) == device) {
            path.remove_prefix(device.size());
            if (path.size() >= 4 && equalsIgnoreAsciiCase(path.substr(0, 3), "UNC") &&
                isSeparator(path[3])) {
                return splitWindowsPath("\\\\" + std::string(path.substr(4)));
            }
            break;
        }
    }
    std::size_t pos = 0;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        // \\server\share counts as the drive.
        std::vector<std::string> names;
        pos = 2;
        while (names.size() < 2 && pos < path.size()) {
            std::size_t end = pos;
            while (end < path.size() && !isSeparator(path[end])) ++end;
            if (end > pos) names.emplace_back(path.substr(pos, end - pos));
            pos = end + 1;
        }
        parts.drive = "\\";
        for (const std::string& name : names) parts.drive += "\\" + name;
        parts.absolute = true;
    } else if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':') {
        parts.drive = {static_cast<char>(path[0] & ~0x20), ':'};
        parts.absolute = true;
        pos = 2;
    } else if (!path.empty() && isSeparator(path[0])) {
        parts.absolute = true;
    }
    while (pos < path.size()) {
        std::size_t end = pos;
        while (end < path.size() && !isSeparator(path[end])) ++end;
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

std::optional<fs::path> MachineRoot::hostPath(std::string_view windowsPath,
                                              std::string_view base) const {
    auto resolved = resolve(prefix_, windowsPath, base);
    if (!resolved) return std::nullopt;
    return resolved->host;
}

std::string MachineRoot::windowsPath(const fs::path& hostPath) const {
    std::error_code ec;
    fs::path path = fs::weakly_canonical(fs::absolute(hostPath, ec), ec);
    if (ec) path = fs::absolute(hostPath, ec).lexically_normal();
    const auto components = [](const fs::path& p) {
        std::vector<std::string> names;
        for (const fs::path& part : p.relative_path()) {
            if (!part.empty()) names.push_back(part.string());
        }
        return names;
    };
    const std::vector<std::string> pathNames = components(path);
    std::string bestDrive;
    std::size_t bestDepth = 0;
    for (const std::string& entry : directoryEntries(prefix_ / "dosdevices")) {
        if (entry.size() != 2 || !isDriveLetter(entry[0]) || entry[1] != ':') continue;
        const fs::path target = fs::canonical(prefix_ / "dosdevices" / entry, ec);
        if (ec || !fs::is_directory(target, ec)) continue;
        const std::vector<std::string> targetNames = components(target);
        if (targetNames.size() > pathNames.size() ||
            !std::equal(targetNames.begin(), targetNames.end(), pathNames.begin())) {
            continue;
        }
        const std::string drive{static_cast<char>(entry[0] & ~0x20), ':'};
        if (bestDrive.empty() || targetNames.size() > bestDepth ||
            (targetNames.size() == bestDepth && drive < bestDrive)) {
            bestDrive = drive;
            bestDepth = targetNames.size();
        }
    }
    std::string result;
    std::size_t first = bestDepth;
    if (bestDrive.empty()) {
        result = "\\\\?\\unix";  // reachable through no drive
        first = 0;
    } else {
        result = bestDrive;
    }
    for (std::size_t i = first; i < pathNames.size(); ++i) result += "\\" + pathNames[i];
    if (result.size() == 2) result += '\\';
    return result;
}

std::string MachineRoot::shortPath(std::string_view windowsPath) const {
    auto resolved = resolve(prefix_, windowsPath, {});
    if (!resolved) return std::string(windowsPath);
    fs::path dir = resolved->host;
    for (std::size_t i = 0; i < resolved->hostNames.size(); ++i) dir = dir.parent_path();
    std::string result = resolved->parts.drive;
    for (const std::string& name : resolved->hostNames) {
        result += "\\" + shortNameIn(directoryEntries(dir), name);
        dir /= name;
    }
    if (resolved->hostNames.empty() || (!windowsPath.empty() && isSeparator(windowsPath.back()))) {
        result += '\\';
    }
    return result;
}

fs::path MachineRoot::profileFile(std::string_view name) const {
    const bool bare = name.find_first_of("\\/:") == std::string_view::npos;
    const std::string windowsName =
        bare ? windowsDirectory() + "\\" + std::string(name) : std::string(name);
    return hostPath(windowsName).value_or(fs::path());
}

}  // namespace kestrel::platform
