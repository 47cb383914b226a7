#include "platform/FileSecurity.h"

#include "platform/JournaledFiles.h"

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

// The groups of the prefix's user in Wine's token besides the user itself.
bool inUserToken(const Sid& sid, const FileOwners& owners) {
    static const Sid groups[] = {{1, {0}},  {2, {0}},       {5, {4}},
                                 {5, {11}}, {5, {32, 544}}, {5, {32, 545}}};
    if (sid == owners.user || sid == owners.group) return true;
    for (const Sid& group : groups)
        if (sid == group) return true;
    return false;
}

// Read, write and execute as one octal digit, generic rights counted as what they stand for.
unsigned modeOfRights(std::uint32_t mask) {
    constexpr std::uint32_t kGenericAll = 0x10000000, kGenericExecuteBit = 0x20000000;
    constexpr std::uint32_t kGenericWriteBit = 0x40000000, kGenericReadBit = 0x80000000;
    if (mask & kGenericReadBit) mask |= fileaccess::kGenericRead;
    if (mask & kGenericWriteBit) mask |= fileaccess::kGenericWrite;
    if (mask & kGenericExecuteBit) mask |= fileaccess::kGenericExecute;
    if (mask & kGenericAll) mask |= fileaccess::kAllAccess;
    unsigned mode = 0;
    if (mask & 0x1) mode |= 4;          // read data
    if (mask & (0x2 | 0x4)) mode |= 2;  // write or append data
    if (mask & 0x20) mode |= 1;         // execute
    return mode;
}

}  // namespace

unsigned modeOfDescriptor(const SecurityDescriptor& descriptor, const FileOwners& owners) {
    if (!descriptor.dacl) return 0777;  // no list: anyone may do anything
    const Sid& owner = descriptor.owner ? *descriptor.owner : owners.user;
    unsigned mode = 0;
    unsigned open = 0777;  // the bits no entry has decided yet
    for (const Ace& ace : *descriptor.dacl) {
        if (ace.flags & aceflags::kInheritOnly) continue;
        const unsigned bits = modeOfRights(ace.mask);
        const bool classes[3] = {ace.sid == everyoneSid(), inUserToken(ace.sid, owners),
                                 ace.sid == owner};
        for (int shift = 0; shift < 3; ++shift) {
            if (!classes[shift]) continue;
            const unsigned placed = bits << (3 * shift);
            if (ace.type == AceType::Allowed) mode |= placed & open;
            open &= ~placed;
        }
    }
    mode |= (mode & 07) << 3;
    mode |= (mode & 070) << 3;
    return mode;
}

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

long writeFileSecurity(const std::filesystem::path& path, const SecurityDescriptor& descriptor,
                       const FileOwners& owners) {
    const std::string bytes = encodeWineSecurity(descriptor);
    if (bytes.size() > kMaxAttribute) return kErrorInvalidParameter;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return windowsError(errno);
    mode_t mode =
        (info.st_mode & (S_ISUID | S_ISGID | S_ISVTX)) | modeOfDescriptor(descriptor, owners);
    if (S_ISDIR(info.st_mode)) mode |= S_IRWXU;
    journaled::beforeChange(path);

    // The attribute first: a mode without write access would refuse it.
    const long stored =
        ::setxattr(path.c_str(), kSecurityAttribute, bytes.data(), bytes.size(), 0) == 0
            ? kErrorSuccess
            : windowsError(errno);
    if (stored != kErrorSuccess && stored != kErrorNoSecurityOnObject) return stored;
    if (mode != (info.st_mode & 07777) && ::chmod(path.c_str(), mode) != 0)
        return windowsError(errno);
    return stored;
}

}  // namespace kestrel::platform
