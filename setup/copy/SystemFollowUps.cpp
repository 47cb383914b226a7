#include "copy/SystemFollowUps.h"

#include "copy/FontRegistration.h"
#include "copy/SharedFileCount.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::copy {

namespace {

bool has(const InstalledFile& file, std::uint32_t flag) {
    return (file.flags.file & flag) != 0;
}

bool isDirectoryLine(const InstalledFile& file) {
    return has(file, fileflag::kCreate) &&
           (has(file, fileflag::kDirectory) || file.destination.ends_with('\\'));
}

}  // namespace

std::filesystem::path SystemFollowUps::hostOf(const InstalledFile& file) const {
    std::filesystem::path host = file.host;
    if (host.empty()) host = context_.registry.machine().hostPath(file.destination).value_or("");
    // A directory written with its closing backslash is the directory itself.
    return host.has_filename() ? host : host.parent_path();
}

// Through the host file the copy engine found already, when it did: the lookup is not free.
bool SystemFollowUps::deleteFiles(const InstalledFile& file) {
    if (file.host.empty()) return removal_.deleteFiles(file.destination, Direction::Uninstall);
    return removal_.deleteHostFiles(file.host, Direction::Uninstall);
}

bool SystemFollowUps::installed(const InstalledFile& file) {
    if (has(file, fileflag::kSharedDll)) {
        if (!addSharedFileUse(context_, file.destination, file.existedBefore)) return false;
        if (has(file, fileflag::kRegister) && !registration_.registerFile(file)) return false;
        if (has(file, fileflag::kService) && !registration_.installService(file)) return false;
    }
    return !isFontFile(file.destination) || registerFont(context_, file);
}

bool SystemFollowUps::uninstall(const InstalledFile& file) {
    if (has(file, fileflag::kDelete)) {
        if (!deleteFiles(file)) return false;
        removal_.removeEmptyDirectories(hostOf(file).parent_path());
        return true;
    }
    if (isDirectoryLine(file)) {
        removeDirectory(file);
        return true;
    }
    if (has(file, fileflag::kSharedDll)) return removeSharedFile(file);
    // Uninstallers the installer starts itself (/X2) leave files that must not be replaced.
    const bool keptByCaller =
        has(file, fileflag::kDontReplace) && (context_.run.extraFlags & extra::kNoEndMessage) != 0;
    if (has(file, fileflag::kDontDelete) || keptByCaller) return true;
    return removeFile(file);
}

bool SystemFollowUps::removeSharedFile(const InstalledFile& file) {
    switch (releaseSharedFile(context_, file.destination)) {
        case SharedFileRelease::StillUsed:
            return true;
        case SharedFileRelease::Cancelled:
            return false;
        case SharedFileRelease::Unused:
            break;
    }
    if (!confirmUnused(file)) return true;
    if (has(file, fileflag::kRegister) && !registration_.unregisterFile(file)) return false;
    if (has(file, fileflag::kService) && !registration_.removeService(file)) return false;
    return removeFile(file);
}

bool SystemFollowUps::confirmUnused(const InstalledFile& file) {
    RunState& run = context_.run;
    if (run.silent || run.removeAllUnusedShared) return true;
    const int answer = context_.messages.show(messages::kNoLongerNeeded, {file.destination});
    if (answer == buttons::kAll) run.removeAllUnusedShared = true;
    return answer == buttons::kYes || answer == buttons::kAll;
}

bool SystemFollowUps::removeFile(const InstalledFile& file) {
    if (isFontFile(file.destination)) unregisterFont(context_, file);
    if (!deleteFiles(file)) return false;
    removal_.removeEmptyDirectories(hostOf(file).parent_path());
    return true;
}

void SystemFollowUps::removeDirectory(const InstalledFile& file) {
    if (has(file, fileflag::kCascaded)) {
        removal_.removeTree(file.destination);
    } else {
        removal_.removeEmptyDirectories(hostOf(file));
    }
}

}  // namespace kestrel::setup::copy
