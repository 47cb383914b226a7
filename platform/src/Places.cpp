#include "platform/Places.h"
#include "platform/JournaledFiles.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "UserDirs.h"
#include "platform/AtomicFile.h"

namespace kestrel::platform {

namespace {

const char* nonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? value : nullptr;
}

// An XDG base directory variable counts only when set to an absolute path; relative values
// are to be ignored.
std::filesystem::path xdgBase(const char* variable, const std::filesystem::path& fallback) {
    if (const char* value = nonEmptyEnv(variable); value != nullptr && value[0] == '/') {
        return value;
    }
    return homeDir() / fallback;
}

std::filesystem::path xdgConfigHome() {
    return xdgBase("XDG_CONFIG_HOME", ".config");
}

}  // namespace

std::filesystem::path homeDir() {
    if (const char* home = nonEmptyEnv("HOME")) return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_dir != nullptr) {
        return result->pw_dir;
    }
    return "/";
}

std::filesystem::path configDir() {
    return xdgConfigHome() / "kestrel";
}

std::filesystem::path stateDir() {
    return xdgBase("XDG_STATE_HOME", ".local/state") / "kestrel";
}

std::filesystem::path desktopDir() {
    if (const char* profile = nonEmptyEnv("USERPROFILE")) {
        return std::filesystem::path(profile) / "Desktop";
    }
    const std::filesystem::path home = homeDir();
    if (auto text = readWholeFile(xdgConfigHome() / "user-dirs.dirs")) {
        if (auto dir = lookupUserDir(*text, "XDG_DESKTOP_DIR", home)) return *dir;
    }
    return home / "Desktop";
}

std::filesystem::path programPath() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe;
}

std::filesystem::path programDirectory() {
    return programPath().parent_path();
}

std::filesystem::path winePrefix() {
    namespace fs = std::filesystem;
    const char* prefix = std::getenv("WINEPREFIX");
    const fs::path root =
        (prefix != nullptr && *prefix != '\0') ? fs::path(prefix) : homeDir() / ".wine";
    std::error_code ec;
    const fs::path absolute = fs::absolute(root, ec);
    return (ec ? root : absolute).lexically_normal();
}

std::error_code ensureDirectory(const std::filesystem::path& dir) {
    return journaled::createFolders(dir);
}

}  // namespace kestrel::platform
