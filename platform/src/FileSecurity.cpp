#include "platform/FileSecurity.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>

#include "platform/WindowsErrors.h"

namespace kestrel::platform {

namespace {

constexpr const char* kSecurityAttribute = "user.wine.sd";
constexpr long kErrorNoSecurityOnObject = 1350;
// Wine reads at most this much of the attribute (the kernel's limit for one value).
constexpr std::size_t kMaxAttribute = 65536;

long windowsError(int error) {
    switch (error) {
        case ENOENT:
            return kErrorFileNotFound;
        case ENOTDIR:
            return kErrorPathNotFound;
        case ENOTSUP:
            return kErrorNoSecurityOnObject;
        case ENOMEM:
            return kErrorNotEnoughMemory;
        case E2BIG:
        case ERANGE:
            return kErrorInvalidParameter;
        default:
            return kErrorAccessDenied;
    }
}

std::uint32_t rightsOf(bool read, bool write) {
    std::uint32_t mask = 0;
    if (read) mask |= fileaccess::kGenericRead | fileaccess::kGenericExecute;
    if (write) mask |= fileaccess::kGenericWrite | fileaccess::kDelete | fileaccess::kDeleteChild;
    return mask;
}

// What Wine makes of a mode when a file carries no descriptor of its own.
SecurityDescriptor fromMode(mode_t mode, const FileOwners& owners) {
    const std::uint8_t flags =
        S_ISDIR(mode) ? aceflags::kObjectInherit | aceflags::kContainerInherit : 0;
    std::vector<Ace> aces;
    aces.push_back({AceType::Allowed, flags, fileaccess::kAllAccess, localSystemSid()});
    if (mode & S_IRWXU) {
        aces.push_back({AceType::Allowed, flags,
                        fileaccess::kWriteDac | fileaccess::kWriteOwner |
                            rightsOf(mode & S_IRUSR, mode & S_IWUSR),
                        owners.user});
    }
    // What group or others may but the owner may not is denied to the owner, who could
    // otherwise gain it through a group.
    const bool readDenied = !(mode & S_IRUSR) && (mode & (S_IRGRP | S_IROTH));
    const bool writeDenied = !(mode & S_IWUSR) && (mode & (S_IWGRP | S_IWOTH));
    if (readDenied || writeDenied || (!(mode & S_IXUSR) && (mode & (S_IXGRP | S_IXOTH)))) {
        constexpr std::uint32_t kStandardRights = 0x001F0000;
        aces.push_back({AceType::Denied, flags,
                        rightsOf(readDenied, writeDenied) & ~kStandardRights, owners.user});
    }
    if (mode & S_IRWXO)
        aces.push_back(
            {AceType::Allowed, flags, rightsOf(mode & S_IROTH, mode & S_IWOTH), everyoneSid()});

    SecurityDescriptor descriptor;
    descriptor.owner = owners.user;
    descriptor.group = owners.group;
    descriptor.dacl = std::move(aces);
    return descriptor;
}

}  // namespace

Sid localSystemSid() {
    return {5, {18}};
}

Sid everyoneSid() {
    return {1, {0}};
}

Expected<SecurityDescriptor, long> readFileSecurity(const std::filesystem::path& path,
                                                    const FileOwners& owners) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return unexpected(windowsError(errno));
    std::string bytes(kMaxAttribute, '\0');
    const ssize_t length = ::getxattr(path.c_str(), kSecurityAttribute, bytes.data(), bytes.size());
    if (length >= 0) {
        bytes.resize(static_cast<std::size_t>(length));
        // Wine passes over a value it cannot read, and so do we.
        if (auto stored = decodeWineSecurity(bytes)) return std::move(*stored);
    }
    return fromMode(info.st_mode, owners);
}

long writeFileSecurity(const std::filesystem::path& path, const SecurityDescriptor& descriptor) {
    const std::string bytes = encodeWineSecurity(descriptor);
    if (bytes.size() > kMaxAttribute) return kErrorInvalidParameter;
    if (::setxattr(path.c_str(), kSecurityAttribute, bytes.data(), bytes.size(), 0) != 0)
        return windowsError(errno);
    return kErrorSuccess;
}

}  // namespace kestrel::platform
