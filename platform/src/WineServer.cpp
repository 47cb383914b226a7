#include "platform/WineServer.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/AtomicFile.h"

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

// server-<dev>-<inode> of the prefix directory; empty when it does not exist.
std::string serverFolderName(const fs::path& prefix) {
    struct stat info {};
    if (::stat(prefix.c_str(), &info) != 0) return {};
    char name[64];
    std::snprintf(name, sizeof name, "server-%llx-%llx",
                  static_cast<unsigned long long>(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    return name;
}

// The folder name Debian's Wine records in <prefix>/wineserver ("wine-XXXXXX").
std::string recordedFolder(const fs::path& prefix) {
    const std::optional<std::string> text = readWholeFile(prefix / "wineserver");
    if (!text) return {};
    std::string name = text->substr(0, text->find_first_of(std::string_view("\n\0", 2)));
    // Only a plain folder name: the file must not lead us elsewhere.
    if (name.find('/') != std::string::npos || name == "." || name == "..") return {};
    return name;
}

// A server holds a lock on this file for as long as it lives: it stops taking connections
// a moment before it writes the registry and ends.
bool lockHeld(const fs::path& lockFile) {
    const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    const bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

bool socketAnswers(const fs::path& socketPath) {
    struct stat info {};
    if (::lstat(socketPath.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = socketPath.string();
    // A path too long for a socket address cannot be checked: assume the server is there.
    if (path.size() >= sizeof address.sun_path) return true;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    // Non-blocking: a server too busy to take the connection must not stop us; it runs.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return true;
    int rc;
    do {
        rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (rc != 0 && errno == EINTR);
    const int error = errno;
    ::close(fd);
    if (rc == 0) return true;
    return error != ECONNREFUSED && error != ENOENT;
}

}  // namespace

fs::path defaultWineServerDirectory() {
    return "/tmp";
}

fs::path wineServerSocket(const fs::path& prefix, const fs::path& serverDirectory) {
    const auto folders = wineServerFolders(prefix, serverDirectory);
    return folders.empty() ? fs::path() : folders.front() / "socket";
}

std::vector<fs::path> wineServerFolders(const fs::path& prefix, const fs::path& serverDirectory) {
    const std::string folder = serverFolderName(prefix);
    if (folder.empty()) return {};
    std::vector<fs::path> folders{serverDirectory / (".wine-" + std::to_string(::getuid())) /
                                  folder};
    if (const std::string recorded = recordedFolder(prefix); !recorded.empty()) {
        folders.push_back(serverDirectory / recorded / folder);
    }
    // The record may be missing or stale (a prefix copied, a server started by another
    // Wine build): look at every folder of that layout.
    std::error_code ec;
    for (fs::directory_iterator it(serverDirectory, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->path().filename().string().starts_with("wine-")) continue;
        const fs::path candidate = it->path() / folder;
        if (std::find(folders.begin(), folders.end(), candidate) == folders.end()) {
            folders.push_back(candidate);
        }
    }
    return folders;
}

bool wineServerRunning(const fs::path& prefix, const fs::path& serverDirectory) {
    for (const fs::path& folder : wineServerFolders(prefix, serverDirectory)) {
        if (lockHeld(folder / "lock") || socketAnswers(folder / "socket")) return true;
    }
    return false;
}

WineServerWait waitForWineServer(const fs::path& prefix, const fs::path& serverDirectory,
                                 std::chrono::milliseconds timeout,
                                 const std::function<bool()>& cancelled) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (wineServerRunning(prefix, serverDirectory)) {
        if (cancelled && cancelled()) return WineServerWait::Cancelled;
        if (std::chrono::steady_clock::now() >= deadline) return WineServerWait::TimedOut;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WineServerWait::Ended;
}

}  // namespace kestrel::platform
