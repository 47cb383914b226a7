#include "WineDrives.h"

#include "platform/AsciiCase.h"
#include "platform/Places.h"

namespace kestrel::rclog {

namespace fs = std::filesystem;

namespace {

bool holds(const std::string& folder, const std::string& drive) {
    return drive.size() > 1 && folder.size() > drive.size() &&
           folder.compare(0, drive.size(), drive) == 0 && folder[drive.size()] == '/';
}

}  // namespace

std::string driveLetterDirectory(char letter) {
    return (platform::winePrefix() / "dosdevices" / (std::string(1, platform::asciiLower(letter)) + ":"))
        .string();
}

std::string networkPathRoot() {
    return (platform::winePrefix() / "dosdevices" / "unc").string();
}

std::string wineDriveHolding(const std::string& folder) {
    std::string best;
    std::error_code ec;
    for (fs::directory_iterator it(platform::winePrefix() / "dosdevices", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != 2 || name[1] != ':') continue;
        const std::string link = it->path().string();
        std::error_code targetError;
        const std::string target = fs::canonical(it->path(), targetError).string();
        for (const std::string& drive : {link, targetError ? std::string() : target}) {
            if (holds(folder, drive) && drive.size() > best.size()) best = drive;
        }
    }
    return best;
}

}  // namespace kestrel::rclog
