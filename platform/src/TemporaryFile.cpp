#include "platform/TemporaryFile.h"

#include "platform/ChangeJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <random>
#include <string>
#include <utility>

namespace kestrel::platform {

namespace {

namespace fs = std::filesystem;

// ".<target's name>.tmp" and six letters or digits: the marker keeps the pattern apart from
// names people give their own hidden files, since leftovers of the pattern get removed.
constexpr std::string_view kMarker = ".tmp";
constexpr std::size_t kUniqueLength = 6;
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kNameTries = 100;

std::error_code lastError() {
    return std::error_code(errno, std::generic_category());
}

// Everything of the name but the unique part, the target's name cut so that the whole never
// exceeds the longest name the folder allows.
std::string namePrefix(const fs::path& folder, const std::string& fileName) {
    long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (limit <= 0) limit = NAME_MAX;
    const std::size_t room = static_cast<std::size_t>(limit) - 1 - kMarker.size() - kUniqueLength;
    return "." + fileName.substr(0, room) + std::string(kMarker);
}

std::string uniquePart() {
    std::array<unsigned char, kUniqueLength> bytes{};
    if (::getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
        std::random_device device;
        for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(device());
    }
    std::string unique;
    for (const unsigned char byte : bytes) unique += kAlphabet[byte % kAlphabet.size()];
    return unique;
}

bool isTemporaryName(std::string_view name, std::string_view prefix) {
    if (name.size() != prefix.size() + kUniqueLength || name.substr(0, prefix.size()) != prefix)
        return false;
    return name.substr(prefix.size()).find_first_not_of(kAlphabet) == std::string_view::npos;
}

// Removes the temporary files of the pattern that no writer holds. The lock is taken on an
// open descriptor and the name checked to still be that file, so a file made meanwhile under
// a free name is never the one removed.
void removeLeftovers(const fs::path& folder, std::string_view prefix) {
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) return;
    const int folderFd = ::dirfd(listing);
    while (const dirent* entry = ::readdir(listing)) {
        if (!isTemporaryName(entry->d_name, prefix)) continue;
        const int fd =
            ::openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(folderFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
            ::unlinkat(folderFd, entry->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(listing);
}

// Where the file system has no locks, nobody can take one from us either: the file is
// only unprotected against removal, which then does not happen.
bool lock(int fd) {
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 || errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL;
}

fs::path folderOf(const fs::path& target) {
    fs::path folder = target.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

}  // namespace

TemporaryFile::TemporaryFile(const fs::path& target, mode_t mode) {
    const fs::path folder = folderOf(target);
    const std::string prefix = namePrefix(folder, target.filename().string());
    removeLeftovers(folder, prefix);
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        fs::path candidate = folder / (prefix + uniquePart());
        if (ChangeJournal* journal = activeJournal()) journal->beforeFileChange(candidate);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            error_ = lastError();
            return;
        }
        struct stat status {};
        if (!lock(fd) || ::fstat(fd, &status) != 0) {
            error_ = lastError();
            ::close(fd);
            ::unlink(candidate.c_str());
            return;
        }
        // Another writer took it for a leftover between our open and our lock.
        if (status.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        lockFd_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (lockFd_ < 0) {
            error_ = lastError();
            ::close(fd);
            ::unlink(candidate.c_str());
            return;
        }
        fd_ = fd;
        path_ = std::move(candidate);
        return;
    }
    error_ = std::make_error_code(std::errc::file_exists);
}

TemporaryFile::~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty() && !renamed_) ::unlink(path_.c_str());
    if (lockFd_ >= 0) ::close(lockFd_);
}

std::error_code TemporaryFile::write(std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd_, content.data(), content.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return lastError();
        if (n == 0) return std::make_error_code(std::errc::io_error);
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

std::error_code TemporaryFile::finishWriting() {
    if (::fsync(fd_) != 0) return lastError();
    if (::close(std::exchange(fd_, -1)) != 0) return lastError();
    return {};
}

std::error_code TemporaryFile::renameTo(const fs::path& target) {
    if (ChangeJournal* journal = activeJournal()) journal->beforeFileChange(target);
    if (::rename(path_.c_str(), target.c_str()) != 0) return lastError();
    renamed_ = true;
    syncFolder(path_.parent_path());
    return {};
}

void removeLeftoverTemporaries(const fs::path& target) {
    const fs::path folder = folderOf(target);
    removeLeftovers(folder, namePrefix(folder, target.filename().string()));
}

void syncFolder(const fs::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace kestrel::platform
