#include "platform/FileAttributes.h"

#include "platform/JournaledFiles.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kestrel::platform {

namespace {

constexpr const char* kDosAttributeName = "user.DOSATTRIB";
// What Wine stores and reports from the extended attribute; read-only comes from the mode.
constexpr std::uint32_t kStoredBits = dosattr::kHidden | dosattr::kSystem | dosattr::kArchive;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

std::uint32_t storedAttributes(const std::filesystem::path& path) {
    char text[32];
    const ssize_t length = ::getxattr(path.c_str(), kDosAttributeName, text, sizeof text - 1);
    if (length < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return 0;
    text[length] = '\0';
    return static_cast<std::uint32_t>(std::strtoul(text + 2, nullptr, 16)) & kStoredBits;
}

std::string failure(const char* what, const std::filesystem::path& path) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}

}  // namespace

std::uint32_t fileAttributes(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return 0;
    std::uint32_t attributes = storedAttributes(path);
    if ((info.st_mode & kWriteBits) == 0) attributes |= dosattr::kReadOnly;
    if (S_ISDIR(info.st_mode)) attributes |= dosattr::kDirectory;
    return attributes == 0 ? dosattr::kNormal : attributes;
}

Expected<void, std::string> setFileAttributes(const std::filesystem::path& path,
                                              std::uint32_t attributes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return unexpected(failure("cannot examine", path));
    journaled::beforeChange(path);
    mode_t mode = info.st_mode & 07777;
    if (attributes & dosattr::kReadOnly) {
        mode &= ~kWriteBits;
    } else if ((mode & kWriteBits) == 0) {
        mode |= S_IWUSR;
    }
    if (mode != (info.st_mode & 07777) && ::chmod(path.c_str(), mode) != 0)
        return unexpected(failure("cannot change the mode of", path));

    const std::uint32_t stored = attributes & kStoredBits;
    if (stored == 0) {
        if (::removexattr(path.c_str(), kDosAttributeName) != 0 && errno != ENODATA &&
            errno != ENOTSUP)
            return unexpected(failure("cannot clear the attributes of", path));
        return {};
    }
    char text[16];
    const int length = std::snprintf(text, sizeof text, "0x%x", stored);
    if (::setxattr(path.c_str(), kDosAttributeName, text, static_cast<std::size_t>(length), 0) !=
            0 &&
        errno != ENOTSUP)
        return unexpected(failure("cannot set the attributes of", path));
    return {};
}

}  // namespace kestrel::platform
