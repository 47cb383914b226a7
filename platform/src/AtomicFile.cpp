#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>

#include "platform/TemporaryFile.h"

namespace kestrel::platform {

namespace {

std::error_code lastError() {
    return std::error_code(errno, std::generic_category());
}

// Owns a descriptor so every early return closes it.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// The file a write to `target` really replaces: through a symlink to what it points to.
std::filesystem::path resolveTarget(const std::filesystem::path& target) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(target, ec)) return target;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
    return ec ? target : resolved;
}

// Gives the replacement the permission bits (and, where allowed, the owner) of the file it
// replaces, or `newFilePermissions` when there is none.
std::error_code takeOverMode(int fd, const std::filesystem::path& real,
                             std::optional<std::filesystem::perms> newFilePermissions) {
    struct stat existing {};
    if (::stat(real.c_str(), &existing) != 0) {
        const auto perms = newFilePermissions.value_or(std::filesystem::perms(0644));
        return ::fchmod(fd, static_cast<mode_t>(perms) & 07777) == 0 ? std::error_code()
                                                                     : lastError();
    }
    if (S_ISDIR(existing.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        // Only root may give a file away; anyone else keeps the file as their own.
    }
    return ::fchmod(fd, existing.st_mode & 07777) == 0 ? std::error_code() : lastError();
}

}  // namespace

std::optional<std::string> readWholeFile(const std::filesystem::path& file) {
    // O_NONBLOCK so that opening a FIFO cannot hang; regular files ignore it.
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;

    std::string content;
    std::array<char, 65536> chunk{};
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk.data(), chunk.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) return content;
        content.append(chunk.data(), static_cast<std::size_t>(n));
    }
}

std::error_code writeFileAtomically(const std::filesystem::path& target, std::string_view content,
                                    std::optional<std::filesystem::perms> newFilePermissions) {
    const std::filesystem::path real = resolveTarget(target);
    if (real.filename().empty()) return std::make_error_code(std::errc::is_a_directory);

    TemporaryFile temporary(real, 0600);
    if (temporary.error()) return temporary.error();
    if (auto failed = takeOverMode(temporary.descriptor(), real, newFilePermissions)) return failed;
    if (auto failed = temporary.write(content)) return failed;
    if (auto failed = temporary.finishWriting()) return failed;
    return temporary.renameTo(real);
}

}  // namespace kestrel::platform
