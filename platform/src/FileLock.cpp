#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

FileLock::FileLock(const std::filesystem::path& target, std::filesystem::perms mode) {
    const auto bits = static_cast<mode_t>(mode) & 07777;
    acquire(lockPathFor(target), O_RDWR | O_CREAT, bits);
    if (locked() && !restrictMode(bits)) release();
}

FileLock FileLock::onFolderOf(const std::filesystem::path& target) {
    FileLock lock;
    const std::filesystem::path folder = target.parent_path();
    lock.acquire(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);
    return lock;
}

void FileLock::acquire(const std::filesystem::path& path, int flags, mode_t mode) {
    // Close-on-exec: a program started while we hold the lock must not keep holding it.
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
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

// The umask may have taken more than asked (a lock file we could not open again), and a lock
// file made before may allow more: both end as `mode`. Another user's lock file is theirs.
bool FileLock::restrictMode(mode_t mode) {
    struct stat status {};
    if (::fstat(fd_, &status) != 0) {
        error_ = std::error_code(errno, std::generic_category());
        return false;
    }
    if (status.st_uid != ::geteuid() || (status.st_mode & 07777) == mode) return true;
    if (::fchmod(fd_, mode) == 0) return true;
    error_ = std::error_code(errno, std::generic_category());
    return false;
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
