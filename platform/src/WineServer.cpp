#include "platform/WineServer.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kestrel::platform {

std::filesystem::path defaultWineServerDirectory() {
    return "/tmp/.wine-" + std::to_string(::getuid());
}

std::filesystem::path wineServerSocket(const std::filesystem::path& prefix,
                                       const std::filesystem::path& serverDirectory) {
    struct stat info {};
    if (::stat(prefix.c_str(), &info) != 0) return {};
    char name[64];
    std::snprintf(name, sizeof name, "server-%llx-%llx",
                  static_cast<unsigned long long>(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    return serverDirectory / name / "socket";
}

bool wineServerRunning(const std::filesystem::path& prefix,
                       const std::filesystem::path& serverDirectory) {
    const std::filesystem::path socketPath = wineServerSocket(prefix, serverDirectory);
    if (socketPath.empty()) return false;
    struct stat info {};
    if (::lstat(socketPath.c_str(), &info) != 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = socketPath.string();
    // A path too long for a socket address cannot be checked: assume the server is there.
    if (path.size() >= sizeof address.sun_path) return true;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
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

}  // namespace kestrel::platform
