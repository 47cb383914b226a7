#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <string>
#include <utility>

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
    // Closes now and reports the result: a failed close can mean lost data.
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

  private:
    int fd_;
};

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The file a write to `target` really replaces: through a symlink to what it points to.
std::filesystem::path resolveTarget(const std::filesystem::path& target) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(target, ec)) return target;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
    return ec ? target : resolved;
}

// The temporary file's name: hidden, beside the target, and never longer than the folder
// allows a name to be, so that every name the target may have can be written. A long name is
// shortened (mkostemp makes the name unique whatever it keeps of the original).
std::string temporaryName(const std::filesystem::path& dir, const std::string& fileName) {
    constexpr std::string_view kUnique = ".XXXXXX";
    long limit = ::pathconf(dir.c_str(), _PC_NAME_MAX);
    if (limit <= 0) limit = NAME_MAX;
    const std::size_t room = static_cast<std::size_t>(limit) - kUnique.size() - 1;
    return (dir / ("." + fileName.substr(0, room) + std::string(kUnique))).string();
}

void syncDirectory(const std::filesystem::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: the rename itself already happened
    ::close(fd);
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
    std::filesystem::path dir = real.parent_path();
    if (dir.empty()) dir = ".";

    std::string tempName = temporaryName(dir, real.filename().string());
    Descriptor fd(::mkostemp(tempName.data(), O_CLOEXEC));
    if (fd.get() < 0) return lastError();

    std::error_code result;
    struct stat existing {};
    if (::stat(real.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            result = std::make_error_code(std::errc::is_a_directory);
        } else {
            if (::fchown(fd.get(), existing.st_uid, existing.st_gid) != 0) {
                // Only root may give a file away; anyone else keeps the file as their own.
            }
            if (::fchmod(fd.get(), existing.st_mode & 07777) != 0) result = lastError();
        }
    } else {
        const auto perms = newFilePermissions.value_or(std::filesystem::perms(0644));
        if (::fchmod(fd.get(), static_cast<mode_t>(perms) & 07777) != 0) result = lastError();
    }

    if (!result && !writeAll(fd.get(), content)) result = lastError();
    if (!result && ::fsync(fd.get()) != 0) result = lastError();
    if (!result && !fd.close()) result = lastError();
    if (!result && ::rename(tempName.c_str(), real.c_str()) != 0) result = lastError();
    if (result) {
        ::unlink(tempName.c_str());
        return result;
    }
    syncDirectory(dir);
    return {};
}

}  // namespace kestrel::platform
