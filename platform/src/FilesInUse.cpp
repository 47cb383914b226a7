#include "platform/FilesInUse.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    fs::path canonical;  // maps on overlay file systems name the lower device: the path decides
};

bool isProcessDirectory(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    return !name.empty() && std::isdigit(static_cast<unsigned char>(name.front())) != 0;
}

// Descriptors that cannot name a file on disk (sockets, pipes, anonymous inodes) are not
// stat'ed: a stat of one is useless, and of a stale network file could hang.
bool mayNameFile(const fs::path& target) {
    const std::string text = target.string();
    return text.starts_with('/') && !text.starts_with("/dev/");
}

bool holdsOpen(const fs::path& process, const FileIdentity& file) {
    std::error_code ec;
    for (fs::directory_iterator it(process / "fd", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError || !mayNameFile(target)) continue;
        struct stat status {};
        if (::stat(it->path().c_str(), &status) == 0 && status.st_dev == file.device &&
            status.st_ino == file.inode) {
            return true;
        }
    }
    return false;
}

// A maps line: "start-end perms offset major:minor inode   path".
bool holdsMapped(const fs::path& process, const FileIdentity& file) {
    std::ifstream maps(process / "maps");
    std::string line;
    while (std::getline(maps, line)) {
        std::istringstream fields(line);
        std::string range, perms, offset, device;
        unsigned long long inode = 0;
        if (!(fields >> range >> perms >> offset >> device >> inode) || inode == 0) continue;
        std::string path;
        std::getline(fields >> std::ws, path);
        unsigned major = 0, minor = 0;
        const bool sameDevice = std::sscanf(device.c_str(), "%x:%x", &major, &minor) == 2 &&
                                makedev(major, minor) == file.device && inode == file.inode;
        if (sameDevice || (!path.empty() && fs::path(path) == file.canonical)) return true;
    }
    return false;
}

}  // namespace

bool fileInUse(const fs::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) return false;
    std::error_code ec;
    const FileIdentity identity{status.st_dev, status.st_ino, fs::canonical(file, ec)};
    for (fs::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
        if (!isProcessDirectory(*it)) continue;
        if (holdsOpen(it->path(), identity) || holdsMapped(it->path(), identity)) return true;
    }
    return false;
}

}  // namespace kestrel::platform
