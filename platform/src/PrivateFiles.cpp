#include "platform/PrivateFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kestrel::platform {

namespace {

std::error_code lastError() {
    return std::error_code(errno, std::generic_category());
}

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kOthersBits = 077;

// mkdir applies the umask; the mode is set again so that it is 0700 exactly.
std::error_code makeFolder(const std::filesystem::path& dir) {
    if (::mkdir(dir.c_str(), kFolderMode) != 0)
        return errno == EEXIST ? std::error_code() : lastError();
    return ::chmod(dir.c_str(), kFolderMode) == 0 ? std::error_code() : lastError();
}

}  // namespace

std::error_code ensurePrivateFolder(const std::filesystem::path& dir, ExistingFolder existing) {
    struct stat status {};
    if (::stat(dir.c_str(), &status) != 0) {
        if (errno != ENOENT) return lastError();
        const std::filesystem::path parent = dir.parent_path();
        if (!parent.empty() && parent != dir)
            if (std::error_code made = ensurePrivateFolder(parent, ExistingFolder::Keep))
                return made;
        if (std::error_code made = makeFolder(dir)) return made;
        if (::stat(dir.c_str(), &status) != 0) return lastError();
    }
    if (!S_ISDIR(status.st_mode)) return std::make_error_code(std::errc::not_a_directory);
    if (existing == ExistingFolder::Keep) return {};
    if (status.st_uid != ::geteuid())
        return std::make_error_code(std::errc::operation_not_permitted);
    if ((status.st_mode & kOthersBits) == 0) return {};
    return ::chmod(dir.c_str(), status.st_mode & 07700) == 0 ? std::error_code() : lastError();
}

std::error_code restrictToOwner(const std::filesystem::path& file) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0)
        return errno == ENOENT ? std::error_code() : lastError();
    if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid() ||
        (status.st_mode & kOthersBits) == 0)
        return {};
    return ::chmod(file.c_str(), status.st_mode & 07700) == 0 ? std::error_code() : lastError();
}

}  // namespace kestrel::platform
