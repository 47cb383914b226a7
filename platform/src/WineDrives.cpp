#include "platform/WineDrives.h"

#include <algorithm>

#include "platform/AsciiCase.h"

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

// The drives a new prefix gets, each with its link's target as Wine writes it.
struct DefaultDrive {
    char letter;
    const char* target;  // relative to dosdevices
};
constexpr DefaultDrive kDefaultDrives[] = {{'C', "../drive_c"}, {'Z', "/"}};

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The names below the root, without the empty one a trailing separator leaves.
std::vector<std::string> components(const fs::path& path) {
    std::vector<std::string> names;
    for (const fs::path& part : path.relative_path()) {
        if (!part.empty()) names.push_back(part.string());
    }
    return names;
}

struct DriveFolder {
    char letter;
    fs::path folder;
};

// `path` (absolute, normalised) through the drive whose folder holds it deepest; on a tie the
// drive listed first wins.
std::string throughDeepestDrive(const fs::path& path, const std::vector<DriveFolder>& drives) {
    const std::vector<std::string> pathNames = components(path);
    const DriveFolder* best = nullptr;
    std::size_t bestDepth = 0;
    for (const DriveFolder& drive : drives) {
        const std::vector<std::string> folderNames = components(drive.folder);
        if (folderNames.size() > pathNames.size() ||
            !std::equal(folderNames.begin(), folderNames.end(), pathNames.begin())) {
            continue;
        }
        if (best == nullptr || folderNames.size() > bestDepth) {
            best = &drive;
            bestDepth = folderNames.size();
        }
    }
    std::string result = best != nullptr ? std::string{best->letter, ':'} : "\\\\?\\unix";
    for (std::size_t i = bestDepth; i < pathNames.size(); ++i) result += "\\" + pathNames[i];
    if (result.size() == 2) result += '\\';
    return result;
}

// Whether `folder` (ending in '/') is the drive folder `drive` or lies in it, as text.
bool holds(std::string_view folder, const std::string& drive) {
    return drive.size() > 1 && folder.size() > drive.size() &&
           folder.compare(0, drive.size(), drive) == 0 && folder[drive.size()] == '/';
}

}  // namespace

WineDrives::WineDrives(fs::path prefix) : prefix_(std::move(prefix)) {}

fs::path WineDrives::driveLink(char letter) const {
    return dosdevices() / std::string{asciiLower(letter), ':'};
}

fs::path WineDrives::uncFolder() const {
    return dosdevices() / "unc";
}

std::vector<WineDrive> WineDrives::drives() const {
    std::vector<WineDrive> drives;
    std::error_code ec;
    for (fs::directory_iterator it(dosdevices(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != 2 || !isDriveLetter(name[0]) || name[1] != ':') continue;
        std::error_code targetError;
        fs::path folder = fs::canonical(it->path(), targetError);
        if (targetError) folder.clear();
        drives.push_back({asciiUpper(name[0]), it->path(), std::move(folder)});
    }
    std::ranges::sort(drives, {}, &WineDrive::letter);
    return drives;
}

std::error_code WineDrives::createDefaultDrives() const {
    for (const DefaultDrive& drive : kDefaultDrives) {
        const fs::path link = driveLink(drive.letter);
        std::error_code ec;
        if (fs::exists(fs::symlink_status(link, ec))) continue;
        fs::create_directory_symlink(drive.target, link, ec);
        if (ec) return ec;
    }
    return {};
}

std::string WineDrives::windowsPath(const fs::path& hostPath) const {
    std::error_code ec;
    fs::path path = fs::weakly_canonical(fs::absolute(hostPath, ec), ec);
    if (ec) path = fs::absolute(hostPath, ec).lexically_normal();
    std::vector<DriveFolder> folders;
    for (WineDrive& drive : drives()) {
        if (drive.folder.empty() || !fs::is_directory(drive.folder, ec)) continue;
        folders.push_back({drive.letter, std::move(drive.folder)});
    }
    return throughDeepestDrive(path, folders);
}

std::string WineDrives::driveHolding(std::string_view folder) const {
    std::string best;
    for (const WineDrive& drive : drives()) {
        for (const fs::path& candidate : {drive.link, drive.folder}) {
            const std::string text = candidate.string();
            if (holds(folder, text) && text.size() > best.size()) best = text;
        }
    }
    return best;
}

fs::path WineDrives::defaultDriveFolder(char letter) const {
    for (const DefaultDrive& drive : kDefaultDrives) {
        if (drive.letter == asciiUpper(letter))
            return (dosdevices() / drive.target).lexically_normal();
    }
    return {};
}

std::string windowsPathOf(const fs::path& hostPath, const fs::path& prefix) {
    if (hostPath.empty()) return {};
    std::error_code error;
    fs::path absolute = fs::absolute(hostPath, error);
    if (error) absolute = fs::path("/") / hostPath;
    const fs::path dosdevices = WineDrives(prefix).dosdevices();
    std::vector<DriveFolder> drives;
    for (const DefaultDrive& drive : kDefaultDrives) {
        drives.push_back({drive.letter, (dosdevices / drive.target).lexically_normal()});
    }
    return throughDeepestDrive(absolute.lexically_normal(), drives);
}

}  // namespace kestrel::platform
