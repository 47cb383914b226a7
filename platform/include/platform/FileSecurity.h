#pragma once

#include <filesystem>

#include "platform/Expected.h"
#include "platform/SecurityDescriptor.h"

namespace kestrel::platform {

// The SIDs a file's own descriptor always speaks of.
Sid localSystemSid();  // S-1-5-18
Sid everyoneSid();     // S-1-1-0

// Who a file belongs to, as Wine names them for the files of its prefix.
struct FileOwners {
    Sid user;   // the prefix's user
    Sid group;  // that user's primary group
};

// The descriptor that Windows programs in the root see for a file or folder: the one Wine
// keeps in the extended attribute user.wine.sd, or without one the one Wine derives from the
// file's mode (LocalSystem full access, the owner's and everyone's mode bits as rights,
// passed on to what a folder holds). The error is a Windows error code.
Expected<SecurityDescriptor, long> readFileSecurity(const std::filesystem::path& path,
                                                    const FileOwners& owners);
// Stores the descriptor where Wine reads it. 1350 (the object has no security) when the file
// system keeps no user extended attributes; other failures as Windows error codes.
[[nodiscard]] long writeFileSecurity(const std::filesystem::path& path,
                                     const SecurityDescriptor& descriptor);

}  // namespace kestrel::platform
