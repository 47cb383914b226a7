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
// The permission bits Wine gives a file for a descriptor: the read, write and execute rights
// that the access list grants (and does not deny first) to everyone, to the groups of the
// prefix's user and to the owner, each class also getting what the one before it has.
unsigned modeOfDescriptor(const SecurityDescriptor& descriptor, const FileOwners& owners);

// Stores the descriptor as Wine does when a program sets it: in the extended attribute, and
// as the file's mode (so a Wine built without extended attributes, which derives every
// descriptor from the mode, still shows the rights the mode can carry; a folder keeps its
// owner's full access, which the installer needs to manage what is inside). 1350 (the object has no
// security) when the file system keeps no user extended attributes; other failures as Windows error
// codes.
[[nodiscard]] long writeFileSecurity(const std::filesystem::path& path,
                                     const SecurityDescriptor& descriptor,
                                     const FileOwners& owners);

}  // namespace kestrel::platform
