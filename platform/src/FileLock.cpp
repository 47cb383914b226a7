#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/FileLock.h"

namespace kestrel::platform {

std::filesystem::path FileLock::lockPathFor(const std::filesystem::path& target) {
    std::filesystem::path lockPath = target;
    lockPath += ".lock";
    return lockPath;
}

FileLock::FileLock(const std::filesystem::path& target) {
    acquire(lockPathFor(target), O_RDWR | O_CREAT);
}

FileLock FileLock::onFolderOf(const std::filesystem::path& target) {
    FileLock lock;
    const std::filesystem::path folder = target.parent_path();
    lock.acquire(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);
    return lock;
}

void FileLock::acquire(const std::filesystem::path& path, int flags) {
    // Close-on-exec: a program started while we hold the lock must not keep holding it.
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        error_ = std::error_code(errno, std::generic_category());
        return;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        error_ = std::error_code(errno, std::generic_category());
        ::close(fd);
        return;
    }
    fd_ = fd;
}

FileLock::~FileLock() {
    release();
}

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), error_(other.error_) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        error_ = other.error_;
    }
    return *this;
}

void FileLock::release() {
    if (fd_ >= 0) {
        // Closing the descriptor drops the flock.
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace kestrel::platform
