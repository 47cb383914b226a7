#include "platform/WindowsPathMap.h"

#include <string_view>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/RegistryKey.h"
#include "platform/ShortName.h"
#include "platform/WindowsPathParts.h"
#include "platform/WindowsPathText.h"
#include "platform/WineDrives.h"

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

// The names of a folder: from the index the map shares, else listed for this lookup.
class FolderLookup {
  public:
    explicit FolderLookup(FolderNames* shared) : shared_(shared) {}
    const CaseFoldedNames* names(const fs::path& dir) {
        if (shared_ != nullptr) return shared_->names(dir);
        fresh_ = CaseFoldedNames::list(dir);
        return fresh_ ? &*fresh_ : nullptr;
    }
    std::vector<std::string> entries(const fs::path& dir) {
        const CaseFoldedNames* found = names(dir);
        return found != nullptr ? found->all() : std::vector<std::string>();
    }

  private:
    FolderNames* shared_;
    std::optional<CaseFoldedNames> fresh_;
};

// The entry of `dir` that `name` means: the exact name, else one that equals it without
// regard to case (see CaseFoldedNames::find), else the long name whose short name it is;
// nullopt when there is none.
std::optional<std::string> findEntry(FolderLookup& folders, const fs::path& dir,
                                     const std::string& name) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(dir / name, ec))) return name;
    const CaseFoldedNames* names = folders.names(dir);
    if (names == nullptr) return std::nullopt;
    if (const std::string* match = names->find(name)) return *match;
    if (name.find('~') == std::string::npos || !isShortName(name)) return std::nullopt;
    // A short name stands for the long name it was derived from, as on Windows (restart
    // lines in WININIT.INI, for one, are written with short paths).
    const std::vector<std::string> entries = names->all();
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

std::optional<ResolvedPath> resolve(const fs::path& prefix, FolderLookup& folders,
                                    std::string_view windowsPath, std::string_view base) {
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
        if (exists) entry = findEntry(folders, result.host, component);
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
    FolderLookup folders(folderNames_.get());
    auto resolved =
        resolve(prefix_, folders, codePage_->toUtf8(windowsPath), codePage_->toUtf8(base));
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
    FolderLookup folders(folderNames_.get());
    auto resolved = resolve(prefix_, folders, codePage.toUtf8(windowsPath), {});
    if (!resolved) return std::string(windowsPath);
    fs::path dir = resolved->host;
    for (std::size_t i = 0; i < resolved->hostNames.size(); ++i) dir = dir.parent_path();
    std::string result = resolved->parts.drive;
    for (const std::string& name : resolved->hostNames) {
        result += "\\" + codePage.fromUtf8(shortNameIn(folders.entries(dir), name));
        dir /= name;
    }
    if (resolved->hostNames.empty() ||
        (!windowsPath.empty() && isWindowsPathSeparator(windowsPath.back()))) {
        result += '\\';
    }
    return result;
}

}  // namespace kestrel::platform
