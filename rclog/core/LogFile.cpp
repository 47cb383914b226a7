#include "LogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <utility>

#include "platform/TemporaryFile.h"

namespace kestrel::rclog {

namespace {

namespace fs = std::filesystem;

constexpr int kLockTries = 2000;
constexpr std::chrono::milliseconds kLockRetryWait{1};

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// O_NONBLOCK keeps a FIFO put in the log's place from blocking the open.
int openExisting(const fs::path& path, int access) {
    const int fd = ::open(path.c_str(), access | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool isPresent(const fs::path& path) {
    const int fd = openExisting(path, O_RDONLY);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

// File systems without hard links: an exclusive create, the header written at once.
bool createInPlace(const fs::path& path, const std::string& header) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return errno == EEXIST;
    const bool written = writeAll(fd, header);
    ::close(fd);
    return written;
}

// True when the log exists afterwards, made by us or by another copy.
bool createWithHeader(const fs::path& path, const std::string& header) {
    if (!path.has_filename()) return false;
    platform::TemporaryFile temporary(path, 0666);
    if (temporary.error() || temporary.write(header) || temporary.finishWriting()) return false;
    if (::link(temporary.path().c_str(), path.c_str()) == 0 || errno == EEXIST) return true;
    if (errno == EPERM || errno == ENOTSUP || errno == ENOSYS || errno == EMLINK)
        return createInPlace(path, header);
    return false;
}

// One try: the log exists (created if need be) as a regular file we may write to and, for
// writing, is open. Check mode needs no descriptor and reports success as 0. Whatever else
// holds the name (a directory, a file we may only read) fails here, not later in the session.
int tryOpen(const fs::path& path, const std::string& header, bool forWriting) {
    if (path.empty()) return -1;
    if (!isPresent(path) && !createWithHeader(path, header)) return -1;
    // Read access lets append() see how the log ends; a log we may only write to is still
    // written.
    int fd = openExisting(path, O_RDWR | O_APPEND);
    if (fd < 0 && errno == EACCES) fd = openExisting(path, O_WRONLY | O_APPEND);
    if (fd < 0 || forWriting) return fd;
    ::close(fd);
    return 0;
}

int openWithRetries(const fs::path& path, const std::string& header, bool forWriting,
                    const Pause& pause) {
    // A copy killed while it created the log may have left its temporary file; once another
    // copy made the log, no creation would come by to remove it.
    platform::removeLeftoverTemporaries(path);
    for (int attempt = 0; attempt < kLogAttempts; ++attempt) {
        const int fd = tryOpen(path, header, forWriting);
        if (fd >= 0) return fd;
        pause(kLogRetryWait);
    }
    return -1;
}

// Waits a bounded time for the lock: a copy holds it only for one write. Where locks are
// not to be had (no lock service, a stuck holder) the line is still written, as O_APPEND
// alone keeps lines whole on a local disk.
bool lockForWrite(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    for (int tries = 0; tries < kLockTries; ++tries) {
        if (::fcntl(fd, F_SETLK, &lock) == 0) return true;
        if (errno != EACCES && errno != EAGAIN && errno != EINTR) return false;
        std::this_thread::sleep_for(kLockRetryWait);
    }
    return false;
}

// True when the log's last line has no line end: a copy was killed inside its write.
bool endsInsideLine(int fd) {
    struct stat status {};
    char last = '\n';
    return ::fstat(fd, &status) == 0 && status.st_size > 0 &&
           ::pread(fd, &last, 1, status.st_size - 1) == 1 && last != '\n';
}

}  // namespace

std::optional<LogFile> LogFile::open(const fs::path& path, const std::string& header,
                                     const Pause& pause) {
    const int fd = openWithRetries(path, header, true, pause);
    if (fd < 0) return std::nullopt;
    return LogFile(fd);
}

bool LogFile::check(const fs::path& path, const std::string& header, const Pause& pause) {
    return openWithRetries(path, header, false, pause) >= 0;
}

LogFile::LogFile(LogFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

LogFile& LogFile::operator=(LogFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

LogFile::~LogFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool LogFile::append(std::string_view line) {
    const bool locked = lockForWrite(fd_, F_WRLCK);
    // The start of a line that a killed copy left is ended first, in the same write, so that
    // this line stays a record of its own instead of completing that one.
    const bool written =
        endsInsideLine(fd_) ? writeAll(fd_, "\r\n" + std::string(line)) : writeAll(fd_, line);
    if (locked) lockForWrite(fd_, F_UNLCK);
    return written;
}

}  // namespace kestrel::rclog
