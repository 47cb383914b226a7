#include "platform/LocalAccounts.h"

#include <algorithm>
#include <array>

#include "platform/AsciiCase.h"
#include "platform/WindowsErrors.h"

namespace kestrel::platform {

namespace {

constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
// The machine's own domain, as Wine names it: S-1-5-21-0-0-0.
constexpr std::uint32_t kFirstFreeRid = 1001;

Sid domainSid(std::uint32_t rid) {
    return {5, {21, 0, 0, 0, rid}};
}

struct WellKnown {
    std::string_view name;
    Sid sid;
    enum Kind { Group, User, Principal } kind;
};

const std::vector<WellKnown>& wellKnown() {
    static const std::vector<WellKnown> table = {
        {"Administrators", {5, {32, 544}}, WellKnown::Group},
        {"Users", {5, {32, 545}}, WellKnown::Group},
        {"Guests", {5, {32, 546}}, WellKnown::Group},
        {"Power Users", {5, {32, 547}}, WellKnown::Group},
        {"Backup Operators", {5, {32, 551}}, WellKnown::Group},
        {"Administrator", domainSid(500), WellKnown::User},
        {"Guest", domainSid(501), WellKnown::User},
        {"Everyone", {1, {0}}, WellKnown::Principal},
        {"CREATOR OWNER", {3, {0}}, WellKnown::Principal},
        {"INTERACTIVE", {5, {4}}, WellKnown::Principal},
        {"Authenticated Users", {5, {11}}, WellKnown::Principal},
        {"SYSTEM", {5, {18}}, WellKnown::Principal},
        {"LocalSystem", {5, {18}}, WellKnown::Principal},
        {"LOCAL SERVICE", {5, {19}}, WellKnown::Principal},
        {"NETWORK SERVICE", {5, {20}}, WellKnown::Principal},
    };
    return table;
}

// The rights and privileges an account can be given.
constexpr std::array<std::string_view, 40> kRights = {"SeAssignPrimaryTokenPrivilege",
                                                      "SeAuditPrivilege",
                                                      "SeBackupPrivilege",
                                                      "SeBatchLogonRight",
                                                      "SeChangeNotifyPrivilege",
                                                      "SeCreateGlobalPrivilege",
                                                      "SeCreatePagefilePrivilege",
                                                      "SeCreatePermanentPrivilege",
                                                      "SeCreateSymbolicLinkPrivilege",
                                                      "SeCreateTokenPrivilege",
                                                      "SeDebugPrivilege",
                                                      "SeDenyBatchLogonRight",
                                                      "SeDenyInteractiveLogonRight",
                                                      "SeDenyNetworkLogonRight",
                                                      "SeDenyRemoteInteractiveLogonRight",
                                                      "SeDenyServiceLogonRight",
                                                      "SeEnableDelegationPrivilege",
                                                      "SeImpersonatePrivilege",
                                                      "SeIncreaseBasePriorityPrivilege",
                                                      "SeIncreaseQuotaPrivilege",
                                                      "SeIncreaseWorkingSetPrivilege",
                                                      "SeInteractiveLogonRight",
                                                      "SeLoadDriverPrivilege",
                                                      "SeLockMemoryPrivilege",
                                                      "SeMachineAccountPrivilege",
                                                      "SeManageVolumePrivilege",
                                                      "SeNetworkLogonRight",
                                                      "SeProfileSingleProcessPrivilege",
                                                      "SeRelabelPrivilege",
                                                      "SeRemoteInteractiveLogonRight",
                                                      "SeRemoteShutdownPrivilege",
                                                      "SeRestorePrivilege",
                                                      "SeSecurityPrivilege",
                                                      "SeServiceLogonRight",
                                                      "SeShutdownPrivilege",
                                                      "SeSyncAgentPrivilege",
                                                      "SeSystemEnvironmentPrivilege",
                                                      "SeSystemProfilePrivilege",
                                                      "SeSystemtimePrivilege",
                                                      "SeTakeOwnershipPrivilege"};

std::optional<std::string_view> knownRight(std::string_view right) {
    for (std::string_view known : kRights)
        if (equalsIgnoreAsciiCase(known, right)) return known;
    return std::nullopt;
}

// Characters the system refuses in account names; a backslash would also split our key.
bool validName(std::string_view name) {
    return !name.empty() && name.size() <= 256 &&
           name.find_first_of("\"/\\[]:|<>+=;,?*") == std::string_view::npos &&
           name.back() != '.' && name.find_first_not_of(' ') != std::string_view::npos;
}

std::string groupKey(std::string_view group) {
    return std::string(LocalAccounts::kStoreKey) + "\\Groups\\" + std::string(group);
}
std::string userKey(std::string_view user) {
    return std::string(LocalAccounts::kStoreKey) + "\\Users\\" + std::string(user);
}
std::string rightKey(std::string_view right) {
    return std::string(LocalAccounts::kStoreKey) + "\\Rights\\" + std::string(right);
}

}  // namespace

std::optional<std::string> accountErrorText(long code) {
    switch (code) {
        case accounterror::kNoSuchPrivilege:
            return "A specified privilege does not exist.";
        case accounterror::kNoneMapped:
            return "No mapping between account names and security IDs was done.";
        case accounterror::kSpecialAccount:
            return "Cannot perform this operation on built-in accounts.";
        case accounterror::kMemberNotInAlias:
            return "The specified account name is not a member of the group.";
        case accounterror::kMemberInAlias:
            return "The specified account name is already a member of the group.";
        case accounterror::kAliasExists:
            return "The specified local group already exists.";
        case accounterror::kNoSuchMember:
            return "A new member could not be added to or removed from the local group because "
                   "the member does not exist.";
        case accounterror::kBadUsername:
            return "The user name or group name parameter is invalid.";
        case accounterror::kGroupNotFound:
            return "The group name could not be found.";
        case accounterror::kUserNotFound:
            return "The user name could not be found.";
        case accounterror::kUserExists:
            return "The account already exists.";
        default:
            return std::nullopt;
    }
}

LocalAccounts::LocalAccounts(Registry& registry, std::string userName, std::string computerName)
    : registry_(registry), userName_(std::move(userName)), computerName_(std::move(computerName)) {}

std::string LocalAccounts::localName(std::string_view account) const {
    const std::size_t slash = account.find('\\');
    if (slash == std::string_view::npos) return std::string(account);
    const std::string_view domain = account.substr(0, slash);
    if (domain == "." || equalsIgnoreAsciiCase(domain, computerName_) ||
        equalsIgnoreAsciiCase(domain, "BUILTIN") || equalsIgnoreAsciiCase(domain, "NT AUTHORITY"))
        return std::string(account.substr(slash + 1));
    return std::string(account);  // another domain's account: not found here
}

std::optional<LocalAccounts::Account> LocalAccounts::builtIn(std::string_view name) const {
    if (equalsIgnoreAsciiCase(name, userName_)) return Account{userName_, domainSid(1000)};
    for (const WellKnown& known : wellKnown())
        if (equalsIgnoreAsciiCase(known.name, name))
            return Account{std::string(known.name), known.sid};
    return std::nullopt;
}

std::optional<LocalAccounts::Account> LocalAccounts::stored(std::string_view kind,
                                                            std::string_view name) const {
    if (!validName(name)) return std::nullopt;
    const std::string key =
        std::string(kStoreKey) + "\\" + std::string(kind) + "\\" + std::string(name);
    auto sid = Sid::parse(text(key, "Sid"));
    if (!sid) return std::nullopt;
    std::vector<std::string> names;
    (void)registry_.subkeyNames(kMachine, std::string(kStoreKey) + "\\" + std::string(kind),
                                &names);
    const auto spelled = std::find_if(names.begin(), names.end(), [&](const std::string& n) {
        return equalsIgnoreAsciiCase(n, name);
    });
    return Account{spelled == names.end() ? std::string(name) : *spelled, std::move(*sid)};
}

bool LocalAccounts::groupExists(std::string_view group) const {
    for (const WellKnown& known : wellKnown())
        if (known.kind == WellKnown::Group && equalsIgnoreAsciiCase(known.name, group)) return true;
    return stored("Groups", group).has_value();
}

bool LocalAccounts::userExists(std::string_view user) const {
    if (equalsIgnoreAsciiCase(user, userName_)) return true;
    for (const WellKnown& known : wellKnown())
        if (known.kind == WellKnown::User && equalsIgnoreAsciiCase(known.name, user)) return true;
    return stored("Users", user).has_value();
}

Expected<Sid, long> LocalAccounts::lookup(std::string_view account) const {
    if (auto sid = Sid::parse(account)) return std::move(*sid);
    const std::string name = localName(account);
    if (auto user = stored("Users", name)) return user->sid;
    if (auto group = stored("Groups", name)) return group->sid;
    if (auto known = builtIn(name)) return known->sid;
    return unexpected(accounterror::kNoneMapped);
}

Sid LocalAccounts::nextSid() const {
    std::uint32_t next = kFirstFreeRid;
    for (const char* kind : {"Users", "Groups"}) {
        std::vector<std::string> names;
        (void)registry_.subkeyNames(kMachine, std::string(kStoreKey) + "\\" + kind, &names);
        for (const std::string& name : names) {
            const auto sid =
                Sid::parse(text(std::string(kStoreKey) + "\\" + kind + "\\" + name, "Sid"));
            if (sid && sid->subAuthorities.size() == 5 && sid->subAuthorities[0] == 21 &&
                sid->subAuthorities[4] >= next)
                next = sid->subAuthorities[4] + 1;
        }
    }
    return domainSid(next);
}

long LocalAccounts::addGroup(std::string_view group, std::string_view comment) {
    if (!validName(group)) return accounterror::kBadUsername;
    if (groupExists(group)) return accounterror::kAliasExists;
    if (userExists(group) || builtIn(group)) return accounterror::kUserExists;
    const std::string key = groupKey(group);
    if (long error = registry_.createKey(kMachine, key)) return error;
    if (long error = setText(key, "Sid", nextSid().toString())) return error;
    return setText(key, "Comment", comment);
}

long LocalAccounts::deleteGroup(std::string_view group) {
    if (!groupExists(group)) return accounterror::kGroupNotFound;
    const auto own = stored("Groups", group);
    if (!own) return accounterror::kSpecialAccount;
    if (long error = registry_.deleteTree(kMachine, groupKey(own->name))) return error;
    if (long error = forgetSid(own->sid.toString())) return error;
    return prune(std::string(kStoreKey) + "\\Groups");
}

std::vector<std::string> LocalAccounts::members(std::string_view group) const {
    RegistryValue value;
    if (registry_.queryValue(kMachine, groupKey(group), "Members", &value) != 0) return {};
    std::vector<std::string> list;
    const std::string all = value.textValue();
    std::size_t at = 0;
    while (at < all.size()) {
        const std::size_t end = std::min(all.find('\0', at), all.size());
        if (end > at) list.push_back(all.substr(at, end - at));
        at = end + 1;
    }
    return list;
}

bool LocalAccounts::isMember(std::string_view group, std::string_view account) const {
    const auto sid = lookup(account);
    if (!sid || !groupExists(group)) return false;
    const auto list = members(group);
    return std::find(list.begin(), list.end(), sid->toString()) != list.end();
}

long LocalAccounts::setMembers(std::string_view group, const std::vector<std::string>& list) {
    const std::string key = groupKey(group);
    if (list.empty()) {
        if (long error = registry_.deleteValue(kMachine, key, "Members");
            error != 0 && error != kErrorFileNotFound)
            return error;
        return prune(key);
    }
    if (long error = registry_.createKey(kMachine, key)) return error;
    return registry_.setValue(kMachine, key, "Members", RegistryValue::multiString(list));
}

long LocalAccounts::addMember(std::string_view group, std::string_view account) {
    if (!groupExists(group)) return accounterror::kGroupNotFound;
    const auto sid = lookup(account);
    if (!sid) return accounterror::kNoSuchMember;
    std::vector<std::string> list = members(group);
    if (std::find(list.begin(), list.end(), sid->toString()) != list.end())
        return accounterror::kMemberInAlias;
    list.push_back(sid->toString());
    return setMembers(group, list);
}

long LocalAccounts::deleteMember(std::string_view group, std::string_view account) {
    if (!groupExists(group)) return accounterror::kGroupNotFound;
    const auto sid = lookup(account);
    if (!sid) return accounterror::kNoSuchMember;
    std::vector<std::string> list = members(group);
    const auto found = std::find(list.begin(), list.end(), sid->toString());
    if (found == list.end()) return accounterror::kMemberNotInAlias;
    list.erase(found);
    return setMembers(group, list);
}

std::optional<LocalUser> LocalAccounts::user(std::string_view name) const {
    if (!userExists(name)) return std::nullopt;
    const std::string key = userKey(name);
    LocalUser user;
    user.name = stored("Users", name) ? stored("Users", name)->name : builtIn(name)->name;
    user.passwordHash = text(key, "Password");
    user.comment = text(key, "Comment");
    user.homeDirectory = text(key, "HomeDirectory");
    user.scriptPath = text(key, "ScriptPath");
    RegistryValue value;
    if (registry_.queryValue(kMachine, key, "Privilege", &value) == 0)
        user.privilege = value.dwordValue();
    if (registry_.queryValue(kMachine, key, "Flags", &value) == 0) user.flags = value.dwordValue();
    return user;
}

long LocalAccounts::addUser(const LocalUser& user) {
    if (!validName(user.name)) return accounterror::kBadUsername;
    if (userExists(user.name) || groupExists(user.name) || builtIn(user.name))
        return accounterror::kUserExists;
    const std::string key = userKey(user.name);
    if (long error = registry_.createKey(kMachine, key)) return error;
    if (long error = setText(key, "Sid", nextSid().toString())) return error;
    LocalUserChanges all;
    all.passwordHash = user.passwordHash;
    all.comment = user.comment;
    all.homeDirectory = user.homeDirectory;
    all.scriptPath = user.scriptPath;
    all.privilege = user.privilege;
    all.flags = user.flags;
    return changeUser(user.name, all);
}

long LocalAccounts::changeUser(std::string_view name, const LocalUserChanges& changes) {
    if (!userExists(name)) return accounterror::kUserNotFound;
    // A built-in user changed here gets a key of its own, with the SID it always has.
    const std::string key =
        userKey(stored("Users", name) ? stored("Users", name)->name : builtIn(name)->name);
    if (!stored("Users", name)) {
        if (long error = registry_.createKey(kMachine, key)) return error;
        if (long error = setText(key, "Sid", builtIn(name)->sid.toString())) return error;
    }
    const std::pair<const char*, const std::optional<std::string>*> texts[] = {
        {"Password", &changes.passwordHash},
        {"Comment", &changes.comment},
        {"HomeDirectory", &changes.homeDirectory},
        {"ScriptPath", &changes.scriptPath}};
    for (const auto& [valueName, change] : texts)
        if (*change)
            if (long error = setText(key, valueName, **change)) return error;
    if (changes.privilege)
        if (long error = setNumber(key, "Privilege", *changes.privilege)) return error;
    if (changes.flags)
        if (long error = setNumber(key, "Flags", *changes.flags)) return error;
    return kErrorSuccess;
}

long LocalAccounts::deleteUser(std::string_view name) {
    if (!userExists(name)) return accounterror::kUserNotFound;
    const auto own = stored("Users", name);
    if (!own || builtIn(name)) return accounterror::kSpecialAccount;
    if (long error = registry_.deleteTree(kMachine, userKey(own->name))) return error;
    if (long error = forgetSid(own->sid.toString())) return error;
    return prune(std::string(kStoreKey) + "\\Users");
}

// An account that is gone leaves no membership and no right behind.
long LocalAccounts::forgetSid(const std::string& sid) {
    std::vector<std::string> groups;
    (void)registry_.subkeyNames(kMachine, std::string(kStoreKey) + "\\Groups", &groups);
    for (const std::string& group : groups) {
        std::vector<std::string> list = members(group);
        const auto end = std::remove(list.begin(), list.end(), sid);
        if (end == list.end()) continue;
        list.erase(end, list.end());
        if (long error = setMembers(group, list)) return error;
    }
    std::vector<std::string> rights;
    (void)registry_.subkeyNames(kMachine, std::string(kStoreKey) + "\\Rights", &rights);
    for (const std::string& right : rights) {
        if (registry_.deleteValue(kMachine, rightKey(right), sid) != 0) continue;
        if (long error = prune(rightKey(right))) return error;
    }
    return kErrorSuccess;
}

bool LocalAccounts::hasRight(std::string_view right, std::string_view account) const {
    const auto known = knownRight(right);
    const auto sid = lookup(account);
    RegistryValue value;
    return known && sid &&
           registry_.queryValue(kMachine, rightKey(*known), sid->toString(), &value) == 0;
}

long LocalAccounts::addRight(std::string_view right, std::string_view account) {
    const auto known = knownRight(right);
    if (!known) return accounterror::kNoSuchPrivilege;
    const auto sid = lookup(account);
    if (!sid) return sid.error();
    const std::string key = rightKey(*known);
    if (long error = registry_.createKey(kMachine, key)) return error;
    return setText(key, sid->toString(), localName(account));
}

long LocalAccounts::removeRight(std::string_view right, std::string_view account) {
    const auto known = knownRight(right);
    if (!known) return accounterror::kNoSuchPrivilege;
    const auto sid = lookup(account);
    if (!sid) return sid.error();
    const std::string key = rightKey(*known);
    const long error = registry_.deleteValue(kMachine, key, sid->toString());
    // An account without the right has nothing to lose.
    if (error != 0 && error != kErrorFileNotFound) return error;
    return prune(key);
}

long LocalAccounts::setText(const std::string& key, std::string_view name, std::string_view value) {
    return registry_.setValue(kMachine, key, name, RegistryValue::text(kRegSz, value));
}

long LocalAccounts::setNumber(const std::string& key, std::string_view name, std::uint32_t number) {
    return registry_.setValue(kMachine, key, name, RegistryValue::dword(number));
}

std::string LocalAccounts::text(const std::string& key, std::string_view name) const {
    RegistryValue value;
    if (registry_.queryValue(kMachine, key, name, &value) != 0 || !isStringType(value.type))
        return {};
    return value.textValue();
}

long LocalAccounts::prune(const std::string& key) {
    std::string path = key;
    // Stops below Software: that key belongs to the system.
    while (path.size() > std::string_view("Software").size()) {
        RegistryKeyInfo info;
        if (registry_.queryKeyInfo(kMachine, path, &info) == 0) {
            if (info.subkeys != 0 || info.values != 0) break;
            if (long error = registry_.deleteKey(kMachine, path)) return error;
        }
        path.erase(path.rfind('\\'));
    }
    return kErrorSuccess;
}

}  // namespace kestrel::platform
