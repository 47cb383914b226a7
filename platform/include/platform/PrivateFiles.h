// Files and folders that only their owner may read: what the directory client and the
// network tools keep for one user (logins, the compiled directory with its password hashes,
// settings, shortcuts). Their modes are set exactly, whatever the umask.
#pragma once

#include <filesystem>
#include <system_error>

namespace kestrel::platform {

inline constexpr std::filesystem::perms kOwnerOnlyFile =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;  // 0600
inline constexpr std::filesystem::perms kOwnerOnlyFolder = std::filesystem::perms::owner_all;

enum class ExistingFolder {
    Keep,     // a folder that is there already keeps its mode (the user may have chosen it)
    Tighten,  // it is ours alone: group and other permissions go
};

// Makes `dir` and every missing parent as a 0700 folder. A `dir` that exists must be a
// folder; with ExistingFolder::Tighten it must also belong to this user (someone else's
// folder could hand our files to its owner: operation_not_permitted) and loses what group and
// others may do with it.
std::error_code ensurePrivateFolder(const std::filesystem::path& dir, ExistingFolder existing);

// Takes group and other permissions away from an existing file of this user; a missing file
// or one of another user is left alone.
std::error_code restrictToOwner(const std::filesystem::path& file);

}  // namespace kestrel::platform
