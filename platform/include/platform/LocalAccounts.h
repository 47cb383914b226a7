#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Expected.h"
#include "platform/Registry.h"
#include "platform/SecurityDescriptor.h"

namespace kestrel::platform {

// The Windows error codes of the account functions, and their texts.
namespace accounterror {
inline constexpr long kNoSuchPrivilege = 1313;
inline constexpr long kNoneMapped = 1332;
inline constexpr long kSpecialAccount = 1371;
inline constexpr long kMemberNotInAlias = 1377;
inline constexpr long kMemberInAlias = 1378;
inline constexpr long kAliasExists = 1379;
inline constexpr long kNoSuchMember = 1387;
inline constexpr long kBadUsername = 2202;
inline constexpr long kGroupNotFound = 2220;
inline constexpr long kUserNotFound = 2221;
inline constexpr long kUserExists = 2224;
}  // namespace accounterror
// The system's text for one of those codes; nullopt for any other.
std::optional<std::string> accountErrorText(long code);

// The privilege levels and account flags of a user, as the system numbers them.
namespace userpriv {
inline constexpr std::uint32_t kGuest = 0;
inline constexpr std::uint32_t kUser = 1;
inline constexpr std::uint32_t kAdmin = 2;
}  // namespace userpriv

struct LocalUser {
    std::string name;
    std::string passwordHash;  // salted crypt(3) hash; empty: no password
    std::string comment;
    std::uint32_t privilege = userpriv::kUser;
    std::string homeDirectory;
    std::string scriptPath;
    std::uint32_t flags = 0;
};

// What a change of a user sets; nullopt leaves the value as it is.
struct LocalUserChanges {
    std::optional<std::string> passwordHash, comment, homeDirectory, scriptPath;
    std::optional<std::uint32_t> privilege, flags;
};

// The machine root's own account store: local groups with their members, local users, and
// the rights (privileges) of accounts. Wine keeps no account database of its own, so the
// store lives in the root's registry (HKEY_LOCAL_MACHINE), under kStoreKey:
//   Groups\<group>   Sid (REG_SZ), Comment (REG_SZ), Members (REG_MULTI_SZ of member SIDs);
//                    a built-in group has a key only while it has members added here
//   Users\<user>     Sid, Password (salted hash, never the password), Comment, Privilege
//                    (REG_DWORD), HomeDirectory, ScriptPath, Flags (REG_DWORD)
//   Rights\<right>   one REG_SZ value per account holding the right: named by its SID,
//                    holding its name
// New accounts get the SIDs of the machine's domain (S-1-5-21-0-0-0-<n>, after the
// prefix's own user, 1000). The built-in groups and users and the well-known principals
// (Everyone, SYSTEM...) always exist and cannot be deleted. Names are compared without
// regard to case; "name", ".\name", "<computer>\name", "BUILTIN\name" and "NT
// AUTHORITY\name" all name a local account. Keys left empty are removed, so that adding
// and deleting leaves the registry as it was. Calls return Windows error codes.
class LocalAccounts {
  public:
    static constexpr std::string_view kStoreKey = "Software\\Kestrel\\LocalAccounts";

    // `userName`: the prefix's own user; `computerName`: the root's computer name.
    LocalAccounts(Registry& registry, std::string userName, std::string computerName);

    bool groupExists(std::string_view group) const;
    [[nodiscard]] long addGroup(std::string_view group, std::string_view comment);
    [[nodiscard]] long deleteGroup(std::string_view group);
    // The member SIDs of a group.
    std::vector<std::string> members(std::string_view group) const;
    bool isMember(std::string_view group, std::string_view account) const;
    [[nodiscard]] long addMember(std::string_view group, std::string_view account);
    [[nodiscard]] long deleteMember(std::string_view group, std::string_view account);

    bool userExists(std::string_view user) const;
    std::optional<LocalUser> user(std::string_view user) const;
    [[nodiscard]] long addUser(const LocalUser& user);
    [[nodiscard]] long changeUser(std::string_view user, const LocalUserChanges& changes);
    // Takes the user out of every group and every right, too.
    [[nodiscard]] long deleteUser(std::string_view user);

    bool hasRight(std::string_view right, std::string_view account) const;
    [[nodiscard]] long addRight(std::string_view right, std::string_view account);
    [[nodiscard]] long removeRight(std::string_view right, std::string_view account);

    // The SID of an account (user, group or well-known principal).
    Expected<Sid, long> lookup(std::string_view account) const;

  private:
    struct Account {
        std::string name;  // as the store or the built-in table spells it
        Sid sid;
    };
    std::string localName(std::string_view account) const;
    std::optional<Account> builtIn(std::string_view name) const;
    std::optional<Account> stored(std::string_view kind, std::string_view name) const;
    Sid nextSid() const;
    long setMembers(std::string_view group, const std::vector<std::string>& members);
    long forgetSid(const std::string& sid);
    long setText(const std::string& key, std::string_view name, std::string_view text);
    long setNumber(const std::string& key, std::string_view name, std::uint32_t number);
    std::string text(const std::string& key, std::string_view name) const;
    // Deletes the key when it is empty, and its parents up to the store's, which go too
    // when empty.
    long prune(const std::string& key);

    Registry& registry_;
    std::string userName_;
    std::string computerName_;
};

}  // namespace kestrel::platform
