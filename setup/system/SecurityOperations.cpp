#include "system/SecurityOperations.h"

#include <filesystem>
#include <functional>

#include "commands/SystemCommands.h"
#include "copy/IgnoreOrCancel.h"
#include "messages/MessageStrings.h"
#include "nwkit/PasswordHash.h"
#include "plan/SectionReader.h"
#include "platform/FileSecurity.h"
#include "script/Settings.h"
#include "system/AccountUsage.h"
#include "system/FileDaclEdit.h"

namespace kestrel::setup {

namespace {

using platform::LocalAccounts;
namespace accounterror = platform::accounterror;

// The messages of security commands.

// Security lines carry paths, comments and passwords.
constexpr std::size_t kSecurityLineSize = 1024;
constexpr long kNoSecurityOnObject = 1350;
constexpr long kInternalError = 1359;
// Passwords are stored scrambled from this script version on.
constexpr std::uint32_t kScrambledPasswords = 0x650;

enum UserArgument { kName, kPassword, kComment, kPrivilege, kHome, kScript, kFlags };
enum DaclArgument { kPath, kAccount, kOperation, kAccess, kAlternativeAccess };

const std::vector<FlagName>& accountFlags() {
    static const std::vector<FlagName> table = {
        {"SCRIPT", 0x1},
        {"ACCOUNTDISABLE", 0x2},
        {"HOMEDIR_REQUIRED", 0x8},
        {"LOCKOUT", 0x10},
        {"PASSWD_NOTREQD", 0x20},
        {"PASSWD_CANT_CHANGE", 0x40},
        {"TEMP_DUPLICATE_ACCOUNT", 0x100},
        {"NORMAL_ACCOUNT", 0x200},
        {"INTERDOMAIN_TRUST_ACCOUNT", 0x800},
        {"WORKSTATION_TRUST_ACCOUNT", 0x1000},
        {"SERVER_TRUST_ACCOUNT", 0x2000},
        {"DONT_EXPIRE_PASSWD", 0x10000},
        {"MNS_LOGON_ACCOUNT", 0x20000},
    };
    return table;
}
constexpr std::uint32_t kFlagScript = 0x1;
constexpr std::uint32_t kFlagPasswordNotRequired = 0x20;

const std::vector<FlagName>& privilegeLevels() {
    static const std::vector<FlagName> table = {{"PRIV_GUEST", platform::userpriv::kGuest},
                                                {"PRIV_USER", platform::userpriv::kUser},
                                                {"PRIV_ADMIN", platform::userpriv::kAdmin}};
    return table;
}

std::string errorText(long error) {
    if (auto text = platform::accountErrorText(error)) return *text;
    if (error == 1) return "Incorrect function.";
    return commands::systemErrorText(static_cast<std::uint32_t>(error));
}

// At uninstallation an object that is gone already needs no deleting.
long unlessGone(long error, std::initializer_list<long> gone) {
    for (long code : gone)
        if (error == code) return 0;
    return error;
}

// Each line of the section, carried out by runCommand.
class SecurityLine final : public Operation {
  public:
    SecurityLine(std::function<bool(std::string_view, Direction)> run, std::string line)
        : run_(std::move(run)), line_(std::move(line)) {}
    bool install(OperationContext&) override { return run_(line_, Direction::Install); }
    bool uninstall(OperationContext&) override { return run_(line_, Direction::Uninstall); }

  private:
    std::function<bool(std::string_view, Direction)> run_;
    std::string line_;
};

}  // namespace

const std::string& SecurityOperations::Call::operator[](std::size_t index) const {
    static const std::string none;
    return index < arguments.size() ? arguments[index] : none;
}

SectionReading SecurityOperations::reading() {
    return {[this](std::string_view section, Direction) { return readSection(section); },
            // Windows 95/98 have no security to set.
            [this](std::string_view) {
                return !services_.context.registry.machine().windowsVersion().isNT();
            }};
}

std::optional<PlanStep> SecurityOperations::readSection(std::string_view section) {
    OperationContext& context = services_.context;
    const SectionKind kind{kSecurityLineSize, strings::kWorkingOn, true, "security commands"};
    return readSectionStep(
        context, section, kind, [this](const std::vector<ScriptLine>& lines, const Expander&) {
            OperationList operations;
            const auto run = [this](std::string_view line, Direction way) {
                return runCommand(line, way);
            };
            for (const ScriptLine& line : lines) {
                if (line.text.find_first_not_of(" \t") == std::string::npos) continue;
                operations.push_back(std::make_unique<SecurityLine>(run, line.text));
            }
            return operations;
        });
}

bool SecurityOperations::runCommand(std::string_view line, Direction direction) {
    const auto command = parseSecurityCommand(line);
    if (!command) return report(line, command.error());
    const Call call = prepare(*command);
    const long error = direction == Direction::Install ? install(call) : uninstall(call);
    if (error == 0 || error == kReported || error == kNoSecurityOnObject) return true;
    return report(displayedLine(line, *command), error);
}

SecurityOperations::Call SecurityOperations::prepare(const SecurityCommand& command) {
    OperationContext& context = services_.context;
    Call call{command, platform::ansiCodePage(context.registry.machine().registry()), {}};
    const Expander expander = context.expander();
    const bool scrambled = readSetupSection(context.script).scriptVersion >= kScrambledPasswords;
    for (std::size_t i = 0; i < command.arguments.size(); ++i) {
        std::string text = command.arguments[i].text;
        if (command.object == SecurityObject::LocalUser && i == kPassword && scrambled)
            text = scramblePassword(text);
        call.arguments.push_back(expander.expand(text));
    }
    return call;
}

LocalAccounts& SecurityOperations::accounts() {
    if (!accounts_) {
        platform::MachineRoot& machine = services_.context.registry.machine();
        accounts_.emplace(machine.registry(), machine.userName(), machine.computerName());
    }
    return *accounts_;
}

long SecurityOperations::install(const Call& call) {
    LocalAccounts& store = accounts();
    AccountUsage usage(services_.context);
    const SecurityCommand& command = call.command;
    switch (command.object) {
        case SecurityObject::LocalGroup: {
            const std::string group = call.utf8(0);
            if (command.method == SecurityMethod::Del) return store.deleteGroup(group);
            if (command.method == SecurityMethod::Add) {
                const bool existed = store.groupExists(group);
                if (!existed)
                    if (long error = store.addGroup(group, call.utf8(1))) return error;
                usage.countAdd("LocalGroup", call[0], existed);
                return 0;
            }
            const std::string member = call.utf8(1);
            if (command.method == SecurityMethod::DelMember)
                return store.deleteMember(group, member);
            const bool existed = store.isMember(group, member);
            if (!existed)
                if (long error = store.addMember(group, member)) return error;
            usage.countAdd("LocalGroup\\" + call[0], call[1], existed);
            return 0;
        }
        case SecurityObject::LocalUser:
            if (command.method == SecurityMethod::Del) return store.deleteUser(call.utf8(kName));
            return addUser(call, command.method == SecurityMethod::Mod);
        case SecurityObject::Privilege: {
            if (command.method == SecurityMethod::Del)
                return store.removeRight(call.utf8(0), call.utf8(1));
            const bool existed = store.hasRight(call.utf8(0), call.utf8(1));
            if (!existed)
                if (long error = store.addRight(call.utf8(0), call.utf8(1))) return error;
            usage.countAdd("Privilege\\" + call[0], call[1], existed);
            return 0;
        }
        case SecurityObject::FileDacl:
            return editFileDacl(call);
    }
    return 0;
}

long SecurityOperations::uninstall(const Call& call) {
    // Only what an Add made is undone, and only by the last installation using it.
    if (call.command.method != SecurityMethod::Add &&
        call.command.method != SecurityMethod::AddMember)
        return 0;
    LocalAccounts& store = accounts();
    AccountUsage usage(services_.context);
    switch (call.command.object) {
        case SecurityObject::LocalGroup:
            if (call.command.method == SecurityMethod::Add) {
                if (!usage.countRemove("LocalGroup", call[0]) ||
                    !confirmDelete(messages::kGroupUnused, {call[0]}))
                    return 0;
                return unlessGone(store.deleteGroup(call.utf8(0)), {accounterror::kGroupNotFound});
            }
            if (!usage.countRemove("LocalGroup\\" + call[0], call[1]) ||
                !confirmDelete(messages::kMembershipUnused, {call[1], call[0]}))
                return 0;
            return unlessGone(store.deleteMember(call.utf8(0), call.utf8(1)),
                              {accounterror::kGroupNotFound, accounterror::kMemberNotInAlias,
                               accounterror::kNoSuchMember});
        case SecurityObject::LocalUser:
            if (!usage.countRemove("LocalUser", call[kName]) ||
                !confirmDelete(messages::kUserUnused, {call[kName]}))
                return 0;
            return unlessGone(store.deleteUser(call.utf8(kName)), {accounterror::kUserNotFound});
        case SecurityObject::Privilege:
            // A right is taken away silently: there is no question for it.
            if (!usage.countRemove("Privilege\\" + call[0], call[1])) return 0;
            return unlessGone(store.removeRight(call.utf8(0), call.utf8(1)),
                              {accounterror::kNoneMapped});
        case SecurityObject::FileDacl:
            return 0;
    }
    return 0;
}

long SecurityOperations::addUser(const Call& call, bool modify) {
    LocalAccounts& store = accounts();
    const std::string name = call.utf8(kName);
    const auto level = flags(call[kPrivilege], privilegeLevels());
    const auto accountFlagBits = flags(call[kFlags], accountFlags());
    if (!level || !accountFlagBits) return kReported;

    const bool existed = store.userExists(name);
    if (modify && !existed) return accounterror::kUserNotFound;
    // An existing user is changed: empty fields leave its values as they are.
    platform::LocalUserChanges changes;
    const auto text = [&](std::size_t index, std::optional<std::string>& field) {
        if (!existed || !call[index].empty()) field = call.utf8(index);
    };
    text(kComment, changes.comment);
    text(kHome, changes.homeDirectory);
    text(kScript, changes.scriptPath);
    if (!existed || !call[kPrivilege].empty())
        changes.privilege = call[kPrivilege].empty() ? platform::userpriv::kUser : *level;
    if (!existed || !call[kFlags].empty()) {
        changes.flags = *accountFlagBits | kFlagScript;
        if (!existed && call[kPassword].empty()) *changes.flags |= kFlagPasswordNotRequired;
    }
    if (!call[kPassword].empty()) {
        auto hash = nw::kit::hashPassword(call.utf8(kPassword));
        if (!hash) return kInternalError;
        changes.passwordHash = std::move(*hash);
    }
    if (existed) {
        if (long error = store.changeUser(name, changes)) return error;
    } else {
        platform::LocalUser user;
        user.name = name;
        user.passwordHash = changes.passwordHash.value_or("");
        user.comment = *changes.comment;
        user.privilege = *changes.privilege;
        user.homeDirectory = *changes.homeDirectory;
        user.scriptPath = *changes.scriptPath;
        user.flags = *changes.flags;
        if (long error = store.addUser(user)) return error;
    }
    if (!modify) AccountUsage(services_.context).countAdd("LocalUser", call[kName], existed);
    return 0;
}

long SecurityOperations::editFileDacl(const Call& call) {
    DaclChange change;
    if (call.command.method == SecurityMethod::Del) {
        change.operation = dacl::kRevoke;
    } else {
        const auto operation = flags(call[kOperation], daclOperationFlags());
        auto access = flags(call[kAccess], daclAccessFlags());
        if (access && *access == 0) access = flags(call[kAlternativeAccess], daclAccessFlags());
        if (!operation || !access) return kReported;
        change.operation = *operation;
        change.access = *access;
    }
    LocalAccounts& store = accounts();
    auto account = store.lookup(call.utf8(kAccount));
    if (!account) return account.error();
    change.account = std::move(account.value());

    platform::MachineRoot& machine = services_.context.registry.machine();
    const auto targets = daclTargets(machine, call[kPath], change.operation);
    if (!targets) return targets.error();
    const platform::FileOwners owners{store.lookup(machine.userName()).value(),
                                      platform::Sid{5, {21, 0, 0, 0, 513}}};
    // Like the command-line editor, a file that cannot be changed does not stop the others;
    // the first failure is reported at the end.
    long first = 0;
    for (const std::filesystem::path& target : targets.value()) {
        auto descriptor = platform::readFileSecurity(target, owners);
        long error = descriptor ? 0 : descriptor.error();
        if (descriptor) {
            std::vector<platform::Ace> aces =
                descriptor->dacl.value_or(std::vector<platform::Ace>{});
            std::error_code ignored;
            editAccessList(aces, change, std::filesystem::is_directory(target, ignored));
            descriptor->dacl = std::move(aces);
            error = platform::writeFileSecurity(target, *descriptor, owners);
        }
        if (first == 0) first = error;
    }
    return first;
}

std::optional<std::uint32_t> SecurityOperations::flags(std::string_view text,
                                                       const std::vector<FlagName>& table) {
    const auto value = parseFlags(text, table);
    if (value) return *value;
    services_.context.messages.show(messages::kIncorrectFlags, {value.error()});
    return std::nullopt;
}

bool SecurityOperations::confirmDelete(int message, const std::vector<MessageArg>& args) {
    if (deleteAllUnused_) return true;
    const int answer = services_.context.messages.show(message, args);
    if (answer == buttons::kAll) deleteAllUnused_ = true;
    return answer == buttons::kYes || answer == buttons::kAll;
}

bool SecurityOperations::report(std::string_view shownLine, long error) {
    // A line that is no command at all is shown without a code.
    const std::string text = error == kNoArgumentList ? "" : errorText(error);
    return copy::ignoreOrCancel(services_.context, messages::kSecurityCommandFailed,
                                {shownLine, error, text});
}

}  // namespace kestrel::setup
