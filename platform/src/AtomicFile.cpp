#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>

#include "platform/Descriptor.h"
#include "platform/TemporaryFile.h"

namespace kestrel::platform {

namespace {

std::error_code lastError() {
    return std::error_code(errno, std::generic_category());
}

// The file a write to `target` really replaces: through a symlink to what it points to.
std::filesystem::path resolveTarget(const std::filesystem::path& target) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(target, ec)) return target;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
    return ec ? target : resolved;
}

// Windows keeps a file's attributes and security when a program rewrites it; here they are
// extended attributes of the file (user.DOSATTRIB, user.wine.sd), so the replacement takes
// them over. One that cannot be set fails the write, which leaves the file as it was.
std::error_code takeOverUserAttributes(int fd, const std::filesystem::path& real) {
    const ssize_t size = ::listxattr(real.c_str(), nullptr, 0);
    if (size <= 0) return {};  // none, or a file system without them
    std::string names(static_cast<std::size_t>(size), '\0');
    const ssize_t listed = ::listxattr(real.c_str(), names.data(), names.size());
    if (listed <= 0) return {};
    names.resize(static_cast<std::size_t>(listed));
    for (std::size_t at = 0, end; (end = names.find('\0', at)) != std::string::npos; at = end + 1) {
        const std::string name = names.substr(at, end - at);
        if (!name.starts_with("user.")) continue;
        const ssize_t needed = ::getxattr(real.c_str(), name.c_str(), nullptr, 0);
        if (needed < 0) continue;  // gone meanwhile
        std::string value(static_cast<std::size_t>(needed), '\0');
        const ssize_t length = ::getxattr(real.c_str(), name.c_str(), value.data(), value.size());
        if (length < 0) continue;
        if (::fsetxattr(fd, name.c_str(), value.data(), static_cast<std::size_t>(length), 0) != 0)
            return lastError();
    }
    return {};
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
    if (::fchmod(fd, existing.st_mode & 07777) != 0) return lastError();
    return takeOverUserAttributes(fd, real);
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
