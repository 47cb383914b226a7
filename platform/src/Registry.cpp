#include "platform/Registry.h"

#include "platform/ChangeJournal.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

#include "HiveStore.h"
#include "RegistryHelperProcess.h"
#include "ServerStore.h"
#include "platform/AsciiCase.h"
#include "platform/RegistryKey.h"
#include "platform/RestartOperations.h"
#include "platform/WideText.h"
#include "platform/WindowsErrors.h"
#include "platform/WineServer.h"

namespace kestrel::platform {

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxValueNameLength = 16383;
// Wine may first bring the prefix up to date, which takes minutes on a busy machine.
constexpr auto kHelperStart = 5min;
// How often a change looks whether a server has started: a Windows program that started
// within this time may miss our latest changes, as if it had started that much earlier.
constexpr auto kServerLook = 50ms;

// A change made to the hives in memory, made again in another store.
long replay(RegistryStore& store, StoreRoot root, const HiveChange& change) {
    using Kind = HiveChange::Kind;
    switch (change.kind) {
        case Kind::CreateKey:
            return store.createKey(root, change.path, false, nullptr);
        case Kind::CreateLink:
            return store.createLink(root, change.path,
                                    utf16ToUtf8(bytesToUtf16(change.value.data)));
        case Kind::SetValue:
            if (const long error = store.createKey(root, change.path, false, nullptr)) return error;
            return store.setValue(root, change.path, change.name, change.value);
        case Kind::DeleteValue:
        case Kind::DeleteKey:
        case Kind::DeleteTree: {
            const long error =
                change.kind == Kind::DeleteValue
                    ? store.deleteValue(root, change.path, change.name)
                    : store.deleteKey(root, change.path, change.kind == Kind::DeleteTree);
            // Gone already, or (a key) holding what someone else put there meanwhile.
            return error == kErrorFileNotFound || error == kErrorAccessDenied ? kErrorSuccess
                                                                              : error;
        }
    }
    return kErrorSuccess;
}

bool sameName(std::string_view a, std::string_view b) {
    const RegistryNameLess less;
    return !less(a, b) && !less(b, a);
}

// Whether `key` is `ancestor` or lies below it. The machine's control sets are reached both
// by their own names (ControlSet001) and through the link CurrentControlSet: for telling
// whether a write reaches a setting, any two of them are one key.
bool atOrBelow(StoreRoot root, const RegistryStore::Path& key,
               const RegistryStore::Path& ancestor) {
    if (ancestor.size() > key.size()) return false;
    const auto controlSet = [](std::string_view name) {
        return startsWithIgnoreAsciiCase(name, "ControlSet") ||
               equalsIgnoreAsciiCase(name, "CurrentControlSet");
    };
    for (std::size_t i = 0; i < ancestor.size(); ++i) {
        if (sameName(key[i], ancestor[i])) continue;
        const bool linked = root == StoreRoot::Machine && i == 1 && sameName(key[0], "System") &&
                            controlSet(key[i]) && controlSet(ancestor[i]);
        if (!linked) return false;
    }
    return true;
}

}  // namespace

struct Registry::Setting {
    StoreRoot root;
    RegistryStore::Path key;
    std::string name;
    long error;
    RegistryValue value;
};

std::vector<std::string> registryKeyComponents(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

struct Registry::Target {
    StoreRoot root = StoreRoot::Machine;
    RegistryStore::Path path;
    bool isUsersRoot = false;  // HKEY_USERS itself, which holds the users' hives
};

Registry::Registry(std::filesystem::path prefix, std::filesystem::path serverDirectory)
    : prefix_(std::move(prefix)),
      serverDirectory_(std::move(serverDirectory)),
      hives_(std::make_unique<HiveStore>(prefix_)) {
    if (serverDirectory_.empty()) serverDirectory_ = defaultWineServerDirectory();
}

Registry::~Registry() = default;

Expected<std::unique_ptr<Registry>, ParseError> Registry::open(
    const std::filesystem::path& prefix, std::filesystem::path serverDirectory) {
    std::unique_ptr<Registry> registry(new Registry(prefix, std::move(serverDirectory)));
    if (auto loaded = registry->hives_->load(); !loaded) return unexpected(loaded.error());
    return registry;
}

Expected<std::unique_ptr<Registry>, std::string> Registry::openThroughServer(
    const std::filesystem::path& prefix, std::filesystem::path serverDirectory,
    const std::filesystem::path& helperProgram) {
    std::unique_ptr<Registry> registry(new Registry(prefix, std::move(serverDirectory)));
    auto helper = RegistryHelperProcess::start(prefix, helperProgram, kHelperStart);
    if (!helper) return unexpected(helper.error());
    registry->server_ = std::make_unique<ServerStore>(std::move(helper.value()));
    registry->hives_.reset();
    return registry;
}

RegistryStore& Registry::store() const {
    if (server_) return *server_;
    return *hives_;
}

Expected<Registry::Target, long> Registry::target(RegistryRoot root, std::string_view path) const {
    Target target;
    target.path = registryKeyComponents(path);
    for (const std::string& part : target.path) {
        if (part.size() > kMaxKeyNameLength) return unexpected(kErrorInvalidParameter);
    }
    const auto below = [&](StoreRoot storeRoot, std::vector<std::string> base) {
        target.root = storeRoot;
        base.insert(base.end(), target.path.begin(), target.path.end());
        target.path = std::move(base);
    };
    const auto knownUser = [](std::string_view sid) {
        return equalsIgnoreAsciiCase(sid, kDefaultUserSid) ||
               equalsIgnoreAsciiCase(sid, ".Default");
    };
    switch (root) {
        case RegistryRoot::LocalMachine:
            break;
        case RegistryRoot::ClassesRoot:
            below(StoreRoot::Machine, {"Software", "Classes"});
            break;
        case RegistryRoot::CurrentConfig:
            below(StoreRoot::Machine,
                  {"System", "CurrentControlSet", "Hardware Profiles", "Current"});
            break;
        case RegistryRoot::CurrentUser:
            if (!knownUser(currentUser_)) return unexpected(kErrorFileNotFound);
            below(StoreRoot::Users, {currentUser_});
            break;
        case RegistryRoot::Users:
            target.root = StoreRoot::Users;
            target.isUsersRoot = target.path.empty();
            if (!target.isUsersRoot && !knownUser(target.path.front()))
                return unexpected(kErrorFileNotFound);
            break;
        case RegistryRoot::PerformanceData:
        case RegistryRoot::DynData:
            return unexpected(kErrorInvalidHandle);
    }
    return target;
}

long Registry::createKey(RegistryRoot root, std::string_view path, bool makeVolatile,
                         bool* created) {
    joinStartedServer();
    if (ChangeJournal* journal = activeJournal()) journal->beforeKeyMade(*this, root, path);
    if (created) *created = false;
    auto found = target(root, path);
    if (!found) return found.error();
    if (found->isUsersRoot) return kErrorSuccess;
    return store().createKey(found->root, found->path, makeVolatile, created);
}

long Registry::createLink(RegistryRoot root, std::string_view path, std::string_view linkTarget) {
    joinStartedServer();
    if (ChangeJournal* journal = activeJournal()) journal->beforeKeyMade(*this, root, path);
    auto found = target(root, path);
    if (!found) return found.error();
    if (found->isUsersRoot) return kErrorAccessDenied;
    settings_.clear();  // a link may lead anywhere
    return store().createLink(found->root, found->path, linkTarget);
}

long Registry::openKey(RegistryRoot root, std::string_view path) const {
    auto found = target(root, path);
    if (!found) return found.error();
    if (found->isUsersRoot) return kErrorSuccess;
    return store().openKey(found->root, found->path);
}

long Registry::setValue(RegistryRoot root, std::string_view path, std::string_view name,
                        const RegistryValue& value) {
    joinStartedServer();
    if (ChangeJournal* journal = activeJournal())
        journal->beforeValueChange(*this, root, path, name);
    if (name.size() > kMaxValueNameLength) return kErrorInvalidParameter;
    auto found = target(root, path);
    if (!found) return found.error();
    if (found->isUsersRoot) return kErrorAccessDenied;
    forgetSettingsAt(*found, false);
    return store().setValue(found->root, found->path, name, value);
}

long Registry::queryValue(RegistryRoot root, std::string_view path, std::string_view name,
                          RegistryValue* value) const {
    auto found = target(root, path);
    if (!found) return found.error();
    if (found->isUsersRoot) return kErrorFileNotFound;
    return store().queryValue(found->root, found->path, name, value);
}

long Registry::querySetting(RegistryRoot root, std::string_view path, std::string_view name,
                            RegistryValue* value) const {
    auto found = target(root, path);
    if (!found) return found.error();
    for (const Setting& setting : settings_) {
        if (setting.root == found->root && setting.key.size() == found->path.size() &&
            atOrBelow(found->root, setting.key, found->path) && sameName(setting.name, name)) {
            *value = setting.value;
            return setting.error;
        }
    }
    Setting setting{found->root, found->path, std::string(name), 0, {}};
    setting.error = queryValue(root, path, name, &setting.value);
    *value = setting.value;
    settings_.push_back(std::move(setting));
    return settings_.back().error;
}

void Registry::forgetRemembered() {
    settings_.clear();
    if (server_) server_->forgetKeys();
}

void Registry::forgetSettingsAt(const Target& key, bool below) {
    std::erase_if(settings_, [&](const Setting& setting) {
        return setting.root == key.root && (below || setting.key.size() == key.path.size()) &&
               atOrBelow(key.root, setting.key, key.path);
    });
}

long Registry::deleteValue(RegistryRoot root, std::string_view path, std::string_view name) {
    joinStartedServer();
    if (ChangeJournal* journal = activeJournal())
        journal->beforeValueChange(*this, root, path, name);
    auto found = target(root, path);
    if (!found) return found.error();
    if (found->isUsersRoot) return kErrorFileNotFound;
    forgetSettingsAt(*found, false);
    return store().deleteValue(found->root, found->path, name);
}

long Registry::deleteKey(RegistryRoot root, std::string_view path) {
    return removeKey(root, path, false);
}

long Registry::deleteTree(RegistryRoot root, std::string_view path) {
    return removeKey(root, path, true);
}

long Registry::removeKey(RegistryRoot root, std::string_view path, bool wholeTree) {
    joinStartedServer();
    if (ChangeJournal* journal = activeJournal()) journal->beforeKeyRemoved(*this, root, path);
    auto found = target(root, path);
    if (!found) return found.error();
    // A root itself is never deleted, whatever it stands for.
    if (found->isUsersRoot || registryKeyComponents(path).empty()) return kErrorAccessDenied;
    forgetSettingsAt(*found, true);
    return store().deleteKey(found->root, found->path, wholeTree);
}

long Registry::subkeyNames(RegistryRoot root, std::string_view path,
                           std::vector<std::string>* names) const {
    names->clear();
    auto found = target(root, path);
    if (!found) return found.error();
    if (found->isUsersRoot) {
        *names = {".Default", std::string(kDefaultUserSid)};
        return kErrorSuccess;
    }
    return store().subkeyNames(found->root, found->path, names);
}

long Registry::valueNames(RegistryRoot root, std::string_view path,
                          std::vector<std::string>* names) const {
    names->clear();
    auto found = target(root, path);
    if (!found) return found.error();
    if (found->isUsersRoot) return kErrorSuccess;
    return store().valueNames(found->root, found->path, names);
}

long Registry::queryKeyInfo(RegistryRoot root, std::string_view path, RegistryKeyInfo* info) const {
    auto found = target(root, path);
    if (!found) return found.error();
    if (found->isUsersRoot) {
        *info = {2, 0, false};
        return kErrorSuccess;
    }
    return store().queryKeyInfo(found->root, found->path, info);
}

const CodePage& ansiCodePage(const Registry& registry) {
    RegistryValue acp;
    if (registry.querySetting(RegistryRoot::LocalMachine,
                              "System\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP",
                              &acp) == kErrorSuccess &&
        isStringType(acp.type)) {
        unsigned number = 0;
        const std::string text = acp.textValue();
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error == std::errc() && end == text.data() + text.size()) {
            if (const CodePage* page = CodePage::byNumber(number)) return *page;
        }
    }
    return CodePage::windows1252();
}

Expected<void, RegistryError> Registry::save() {
    if (server_) return server_->settle();
    if (!hives_->dirty()) return {};
    if (wineServerRunning(prefix_, serverDirectory_)) {
        std::string why = "it would overwrite the registry files (stop it with \"wineserver -k\")";
        if (!laterHelper_.empty()) {
            auto through = goThroughServer();
            if (through) return {};
            why = "its registry cannot be reached: " + through.error();
        }
        return unexpected(RegistryError{
            kErrorBusy, "a wineserver is running for " + prefix_.string() + "; " + why});
    }
    return hives_->save();
}

Expected<void, ParseError> Registry::reload() {
    if (server_) return {};
    settings_.clear();
    return hives_->reload();
}

Expected<void, std::string> Registry::useWineServer(const std::filesystem::path& helperProgram) {
    if (server_) return {};
    const std::optional<std::u16string> scheduled = renamesScheduledSinceSaved();
    auto helper = RegistryHelperProcess::start(prefix_, helperProgram, kHelperStart);
    if (!helper) return unexpected(helper.error());
    auto server = std::make_unique<ServerStore>(std::move(helper.value()));
    // The session has started (its restart operations done before its first program runs).
    const Target renames = *target(RegistryRoot::LocalMachine, kSessionManagerKey);
    std::u16string left;
    if (RegistryValue value; scheduled && server->queryValue(renames.root, renames.path,
                                                             kPendingRenamesValue, &value) == 0) {
        left = bytesToUtf16(value.data);
        if (!left.empty() && left.back() == u'\0') left.pop_back();
    }
    // What we changed and did not save yet is made in the server, which read the files.
    for (const auto& [root, change] : hives_->pendingChanges()) {
        if (const long error = replay(*server, root, change)) {
            return unexpected("the registry of Wine refused a change we had made (error " +
                              std::to_string(error) + ")");
        }
    }
    // Of the value made again, only what this run scheduled waits for the next restart:
    // after what the session left, which its start did not carry out.
    if (scheduled) {
        left += *scheduled;
        const long error =
            left.size() <= 1 ? server->deleteValue(renames.root, renames.path, kPendingRenamesValue)
                             : server->setValue(renames.root, renames.path, kPendingRenamesValue,
                                                RegistryValue{kRegMultiSz, utf16ToBytes(left)});
        if (error != kErrorSuccess && error != kErrorFileNotFound)
            return unexpected(
                "the registry of Wine refused the operations scheduled for the "
                "restart (error " +
                std::to_string(error) + ")");
    }
    if (auto settled = server->settle(); !settled) return unexpected(settled.error().message);
    server_ = std::move(server);
    hives_.reset();
    settings_.clear();
    return {};
}

void Registry::useWineServerOnceItRuns(std::filesystem::path helperProgram) {
    if (!server_) laterHelper_ = std::move(helperProgram);
}

Expected<void, std::string> Registry::goThroughServer() {
    if (server_ || laterHelper_.empty()) return {};
    const std::filesystem::path helper = std::exchange(laterHelper_, {});
    return useWineServer(helper);
}

void Registry::joinStartedServer() {
    if (server_ || laterHelper_.empty()) return;
    const auto now = std::chrono::steady_clock::now();
    if (now < nextLook_) return;
    nextLook_ = now + kServerLook;
    if (!wineServerRunning(prefix_, serverDirectory_)) return;
    if (auto through = goThroughServer(); !through)
        std::fprintf(stderr, "warning: the registry is kept in the hive files: %s\n",
                     through.error().c_str());
}

std::optional<std::u16string> Registry::renamesScheduledSinceSaved() const {
    const auto changes = hives_->pendingChanges();
    if (std::none_of(changes.begin(), changes.end(), [](const auto& change) {
            return equalsIgnoreAsciiCase(change.second.name, kPendingRenamesValue);
        }))
        return std::nullopt;
    const Target where = *target(RegistryRoot::LocalMachine, kSessionManagerKey);
    RegistryValue ours;
    if (hives_->queryValue(where.root, where.path, kPendingRenamesValue, &ours) != 0 ||
        ours.type != kRegMultiSz)
        return std::nullopt;  // removed: made again as it is
    std::u16string units = bytesToUtf16(ours.data);
    // The files as the starting session reads them.
    HiveStore saved(prefix_);
    if (RegistryValue before;
        saved.load() &&
        saved.queryValue(where.root, where.path, kPendingRenamesValue, &before) == 0) {
        std::u16string done = bytesToUtf16(before.data);
        if (!done.empty() && done.back() == u'\0') done.pop_back();
        if (units.starts_with(done)) units.erase(0, done.size());
    }
    return units;
}

}  // namespace kestrel::platform
