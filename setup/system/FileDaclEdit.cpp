#include "system/FileDaclEdit.h"

#include <algorithm>
#include <system_error>

#include "copy/FileRemoval.h"
#include "platform/WindowsErrors.h"

namespace kestrel::setup {

namespace fs = std::filesystem;
using platform::Ace;
using platform::AceType;
namespace access = platform::fileaccess;

namespace {

constexpr std::uint32_t kChangeRights =
    access::kGenericRead | access::kGenericWrite | access::kGenericExecute | access::kDelete;

bool isAccount(const Ace& ace, const platform::Sid& account) {
    return !(ace.flags & platform::aceflags::kInherited) && ace.sid == account;
}

void removeEntries(std::vector<Ace>& aces, const platform::Sid& account,
                   std::optional<AceType> type) {
    std::erase_if(aces, [&](const Ace& ace) {
        return isAccount(ace, account) && (!type || ace.type == *type);
    });
}

bool hasWildcard(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

// Whether `path` (made absolute, links resolved) lies inside `root`.
bool insideRoot(const fs::path& path, const fs::path& root) {
    std::error_code error;
    const fs::path real = fs::canonical(path, error);
    if (error) return false;
    const auto [end, unused] = std::mismatch(root.begin(), root.end(), real.begin(), real.end());
    return end == root.end();
}

}  // namespace

const std::vector<FlagName>& daclAccessFlags() {
    // E stands for EXECUTE, which comes first.
    static const std::vector<FlagName> table = {
        {"DENY", dacl::kDeny},
        {"Y", dacl::kDeny},
        {"READ", dacl::kRead},
        {"R", dacl::kRead},
        {"WRITE", dacl::kWrite},
        {"W", dacl::kWrite},
        {"DELETE", dacl::kDelete},
        {"D", dacl::kDelete},
        {"EXECUTE", dacl::kExecute},
        {"E", dacl::kExecute},
        {"CHANGEPERM", dacl::kChangePermissions},
        {"P", dacl::kChangePermissions},
        {"TAKEOWNERSHIP", dacl::kTakeOwnership},
        {"O", dacl::kTakeOwnership},
        {"NOTSPECIFIED", dacl::kNotSpecified},
        {"N", dacl::kNotSpecified},
        {"FULL", dacl::kFull},
        {"F", dacl::kFull},
        {"READEXECUTE", dacl::kReadExecute},
        {"CHANGE", dacl::kChange},
        {"C", dacl::kChange},
    };
    return table;
}

const std::vector<FlagName>& daclOperationFlags() {
    static const std::vector<FlagName> table = {
        {"GRANT", dacl::kGrant},
        {"REVOKE", dacl::kRevoke},
        {"REPLACEACE", dacl::kReplaceAce},
        {"REPLACEACL", dacl::kReplaceAcl},
        {"RECURSEDIR", dacl::kRecurseDirectories},
        {"RECURSEFILES", dacl::kRecurseFiles},
    };
    return table;
}

std::uint32_t daclRights(std::uint32_t bits) {
    bits &= dacl::kFull;
    if (bits == dacl::kFull) return access::kAllAccess;
    std::uint32_t rights = 0;
    if ((bits & dacl::kChange) == dacl::kChange) {
        rights |= kChangeRights;
        bits &= ~dacl::kChange;
    } else if ((bits & dacl::kReadExecute) == dacl::kReadExecute) {
        rights |= access::kGenericRead | access::kGenericExecute;
        bits &= ~dacl::kReadExecute;
    }
    if (bits & dacl::kRead) rights |= access::kGenericRead;
    if (bits & dacl::kWrite) rights |= access::kGenericWrite;
    if (bits & dacl::kDelete) rights |= access::kDelete;
    if (bits & dacl::kExecute) rights |= access::kGenericExecute;
    if (bits & dacl::kChangePermissions) rights |= access::kWriteDac;
    if (bits & dacl::kTakeOwnership) rights |= access::kWriteOwner;
    return rights;
}

void editAccessList(std::vector<Ace>& aces, const DaclChange& change, bool directory) {
    const std::uint8_t flags =
        directory ? platform::aceflags::kObjectInherit | platform::aceflags::kContainerInherit : 0;
    if (change.operation & dacl::kReplaceAcl) {
        aces.clear();
    } else if (change.operation & dacl::kRevoke) {
        removeEntries(aces, change.account, std::nullopt);
    }
    std::uint32_t rights = daclRights(change.access);
    if (change.access & dacl::kDeny) {
        // Denying without naming rights denies everything.
        if (rights == 0) rights = access::kAllAccess;
        removeEntries(aces, change.account, AceType::Denied);
        aces.insert(aces.begin(), Ace{AceType::Denied, flags, rights, change.account});
        return;
    }
    if (rights == 0) return;
    if (change.operation & dacl::kReplaceAce) removeEntries(aces, change.account, AceType::Allowed);
    const auto own = std::find_if(aces.begin(), aces.end(), [&](const Ace& ace) {
        return isAccount(ace, change.account) && ace.type == AceType::Allowed && ace.flags == flags;
    });
    if (own != aces.end()) {
        own->mask |= rights;
        return;
    }
    const auto inherited = std::find_if(aces.begin(), aces.end(), [](const Ace& ace) {
        return (ace.flags & platform::aceflags::kInherited) != 0;
    });
    aces.insert(inherited, Ace{AceType::Allowed, flags, rights, change.account});
}

platform::Expected<std::vector<fs::path>, long> daclTargets(const platform::MachineRoot& machine,
                                                            std::string_view windowsPath,
                                                            std::uint32_t operation) {
    std::error_code error;
    const fs::path root = fs::canonical(machine.prefix(), error);
    if (error) return platform::unexpected(platform::kErrorPathNotFound);

    std::string_view parent = windowsPath;
    std::string pattern;
    const std::size_t slash = windowsPath.find_last_of("\\/");
    if (slash != std::string_view::npos && hasWildcard(windowsPath.substr(slash + 1))) {
        parent = windowsPath.substr(0, slash);
        pattern = std::string(windowsPath.substr(slash + 1));
    }
    const auto base = machine.hostPath(parent);
    if (!base) return platform::unexpected(platform::kErrorPathNotFound);
    if (!fs::exists(*base, error)) {
        return platform::unexpected(fs::is_directory(base->parent_path(), error)
                                        ? platform::kErrorFileNotFound
                                        : platform::kErrorPathNotFound);
    }
    if (!insideRoot(*base, root)) return platform::unexpected(platform::kErrorAccessDenied);

    const bool folders = operation & dacl::kRecurseDirectories;
    const bool files = operation & dacl::kRecurseFiles;
    std::vector<fs::path> targets;
    const auto consider = [&](const fs::directory_entry& entry, bool below) {
        if (entry.is_symlink(error)) return;  // never followed out of the tree
        if (!pattern.empty() && !copy::matchesWildcard(pattern, entry.path().filename().string()))
            return;
        const bool folder = entry.is_directory(error);
        if (!below || (folder ? folders : files)) targets.push_back(entry.path());
    };
    if (pattern.empty()) {
        targets.push_back(*base);
    } else {
        for (const auto& entry : fs::directory_iterator(*base, error)) consider(entry, false);
    }
    if ((folders || files) && fs::is_directory(*base, error)) {
        const bool wildcard = !pattern.empty();
        for (auto walk = fs::recursive_directory_iterator(*base, error);
             !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
            // With a wildcard the first level was taken above; below it the pattern applies.
            if (wildcard && walk.depth() == 0) continue;
            consider(*walk, true);
        }
    }
    if (targets.empty()) return platform::unexpected(platform::kErrorFileNotFound);
    return targets;
}

}  // namespace kestrel::setup
