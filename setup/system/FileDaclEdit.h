#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/Expected.h"
#include "platform/MachineRoot.h"
#include "platform/SecurityDescriptor.h"
#include "script/Fields.h"

namespace kestrel::setup {

// The access flags of FileDacl lines (each with its one-letter synonym) and their operation
// flags.
namespace dacl {
inline constexpr std::uint32_t kDeny = 0x1;
inline constexpr std::uint32_t kRead = 0x2;
inline constexpr std::uint32_t kWrite = 0x4;
inline constexpr std::uint32_t kDelete = 0x8;
inline constexpr std::uint32_t kExecute = 0x10;
inline constexpr std::uint32_t kChangePermissions = 0x20;
inline constexpr std::uint32_t kTakeOwnership = 0x40;
inline constexpr std::uint32_t kNotSpecified = 0x80;
inline constexpr std::uint32_t kFull = 0x7e;
inline constexpr std::uint32_t kReadExecute = 0x12;
inline constexpr std::uint32_t kChange = 0x1e;

inline constexpr std::uint32_t kGrant = 0x0;
inline constexpr std::uint32_t kRevoke = 0x1;
inline constexpr std::uint32_t kReplaceAce = 0x2;
inline constexpr std::uint32_t kReplaceAcl = 0x4;
inline constexpr std::uint32_t kRecurseDirectories = 0x8;
inline constexpr std::uint32_t kRecurseFiles = 0x10;
}  // namespace dacl

const std::vector<FlagName>& daclAccessFlags();
const std::vector<FlagName>& daclOperationFlags();

// The file rights that access flags stand for, combined as the command-line permission
// editor combines them: all of FULL is full control, all of CHANGE is change, all of
// READEXECUTE read and execute; the other bits add their single rights.
std::uint32_t daclRights(std::uint32_t access);

// One account's change to an access list.
struct DaclChange {
    std::uint32_t operation = dacl::kGrant;
    std::uint32_t access = 0;
    platform::Sid account;
};

// Edits the entries of a file's (or, with `directory`, a folder's, whose entries pass on to
// what it holds) access list: REPLACEACL starts from an empty list, REVOKE removes the
// account's entries, DENY puts a denying entry first, the remaining rights are granted (added
// to the account's entry) or with REPLACEACE replace the account's allowing entries.
// Inherited entries stay as they are, behind the list's own.
void editAccessList(std::vector<platform::Ace>& aces, const DaclChange& change, bool directory);

// The host files a FileDacl path names in the root: the file or folder, or the entries a
// wildcard in the last part matches; with RECURSEDIR and RECURSEFILES the folders and files
// below as well. A path that does not resolve, or resolves outside the prefix (another
// drive's folder, Z:, a link leading out), is refused: the error is the Windows error code.
platform::Expected<std::vector<std::filesystem::path>, long> daclTargets(
    const platform::MachineRoot& machine, std::string_view windowsPath, std::uint32_t operation);

}  // namespace kestrel::setup
