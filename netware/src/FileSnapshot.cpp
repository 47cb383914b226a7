#include "FileSnapshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

#include "platform/Descriptor.h"

namespace nw {

namespace {

using kestrel::platform::unexpected;
using Side = SnapshotError::Side;
using kestrel::platform::Descriptor;

// A writer that is still at work has had its chance after this many readings.
constexpr int kReadings = 5;
constexpr timespec kWriterPause{0, 50 * 1000 * 1000};
constexpr std::size_t kChunk = 1 << 20;

SnapshotError sourceError(std::string what) {
    return SnapshotError{Side::Source, std::move(what)};
}

bool sameVersion(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// Where the bytes of one reading go: `begin` starts over, `put` takes the next piece. Each
// gives the reason when it cannot.
struct Destination {
    std::function<std::optional<std::string>(std::size_t size)> begin;
    std::function<std::optional<std::string>(std::string_view piece)> put;
};

// Reads `file` whole into `to`, once more each time the file changed while it was read.
kestrel::platform::Expected<struct stat, SnapshotError> copyOneVersion(
    const std::filesystem::path& file, const Destination& to) {
    // O_NONBLOCK: a FIFO in the file's place must not hang the reader.
    Descriptor source(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (source.get() < 0)
        return unexpected(
            sourceError(std::string("cannot open the directory file: ") + std::strerror(errno)));
    std::vector<char> chunk(kChunk);
    for (int reading = 0; reading < kReadings; ++reading) {
        if (reading > 0) ::nanosleep(&kWriterPause, nullptr);
        struct stat before {
        }, after{};
        if (::fstat(source.get(), &before) != 0)
            return unexpected(sourceError(std::string("cannot open the directory file: ") +
                                          std::strerror(errno)));
        if (!S_ISREG(before.st_mode))
            return unexpected(sourceError("cannot open the directory file: not a regular file"));
        if (auto failed = to.begin(static_cast<std::size_t>(before.st_size)))
            return unexpected(SnapshotError{Side::Copy, *failed});
        off_t offset = 0;
        for (;;) {
            const ssize_t got = ::pread(source.get(), chunk.data(), chunk.size(), offset);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0)
                return unexpected(sourceError(std::string("cannot read the directory file: ") +
                                              std::strerror(errno)));
            if (got == 0) break;
            if (auto failed = to.put(std::string_view(chunk.data(), static_cast<std::size_t>(got))))
                return unexpected(SnapshotError{Side::Copy, *failed});
            offset += got;
        }
        if (::fstat(source.get(), &after) == 0 && sameVersion(before, after) &&
            offset == before.st_size)
            return after;
    }
    return unexpected(sourceError("the directory file changed each time it was read (" +
                                  std::to_string(kReadings) +
                                  " times); it is read again once it is written"));
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A file without a name in `folder` (or one whose name is gone at once where the file system
// cannot make those): a process killed while it copies leaves nothing behind, and nobody can
// open the copy, which holds the password hashes of the directory file.
int unnamedFile(const std::filesystem::path& folder, const std::filesystem::path& name) {
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR)) return fd;
    ::unlink(name.c_str());  // left by a build that died between these two calls
    fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) ::unlink(name.c_str());
    return fd;
}

}  // namespace

FileSnapshot::Taken FileSnapshot::inFile(const std::filesystem::path& file,
                                         const std::filesystem::path& copy) {
    const auto copyError = [&](const char* doing) {
        return "cannot " + std::string(doing) + " " + copy.string() + ": " + std::strerror(errno);
    };
    Descriptor out(unnamedFile(copy.parent_path(), copy));
    if (out.get() < 0) return unexpected(SnapshotError{Side::Copy, copyError("create")});
    Destination to{[&](std::size_t) -> std::optional<std::string> {
                       if (::ftruncate(out.get(), 0) != 0 || ::lseek(out.get(), 0, SEEK_SET) != 0)
                           return copyError("write");
                       return std::nullopt;
                   },
                   [&](std::string_view piece) -> std::optional<std::string> {
                       if (!writeAll(out.get(), piece)) return copyError("write");
                       return std::nullopt;
                   }};
    auto version = copyOneVersion(file, to);
    if (!version) return unexpected(version.error());
    auto mapped = MappedFile::map(out.get());
    if (!mapped)
        return unexpected(
            SnapshotError{Side::Copy, "cannot map " + copy.string() + ": " + mapped.error()});
    FileSnapshot snapshot;
    snapshot.mapped_.emplace(std::move(*mapped));
    snapshot.status_ = *version;
    return snapshot;
}

FileSnapshot::Taken FileSnapshot::inMemory(const std::filesystem::path& file) {
    FileSnapshot snapshot;
    Destination to{[&](std::size_t size) -> std::optional<std::string> {
                       snapshot.text_.clear();
                       snapshot.text_.reserve(size);
                       return std::nullopt;
                   },
                   [&](std::string_view piece) -> std::optional<std::string> {
                       snapshot.text_.append(piece);
                       return std::nullopt;
                   }};
    auto version = copyOneVersion(file, to);
    if (!version) return unexpected(version.error());
    snapshot.status_ = *version;
    return snapshot;
}

}  // namespace nw
