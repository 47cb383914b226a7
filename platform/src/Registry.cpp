#include "platform/Registry.h"

#include "platform/ChangeJournal.h"

#include <charconv>

#include "HiveFile.h"
#include "platform/AsciiCase.h"
#include "platform/WideText.h"
#include "platform/WindowsErrors.h"
#include "platform/WineServer.h"

namespace kestrel::platform {

namespace {

constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxValueNameLength = 16383;
constexpr int kMaxLinkDepth = 16;

enum HiveIndex { kSystemHive, kUserHive, kDefaultUserHive };

}  // namespace

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

struct Registry::Location {
    HiveFile* hive = nullptr;  // nullptr: the root of HKEY_USERS itself
    std::vector<std::string> path;
};

Registry::Registry(std::filesystem::path prefix, std::filesystem::path serverDirectory)
    : prefix_(std::move(prefix)), serverDirectory_(std::move(serverDirectory)) {
    if (serverDirectory_.empty()) serverDirectory_ = defaultWineServerDirectory();
    hives_.push_back(std::make_unique<HiveFile>(prefix_ / "system.reg", "\\\\Machine"));
    hives_.push_back(std::make_unique<HiveFile>(prefix_ / "user.reg",
                                                "\\\\User\\\\" + std::string(kDefaultUserSid)));
    hives_.push_back(std::make_unique<HiveFile>(prefix_ / "userdef.reg", "\\\\User\\\\.Default"));
}

Registry::~Registry() = default;

Expected<std::unique_ptr<Registry>, ParseError> Registry::open(
    const std::filesystem::path& prefix, std::filesystem::path serverDirectory) {
    std::unique_ptr<Registry> registry(new Registry(prefix, std::move(serverDirectory)));
    for (const auto& hive : registry->hives_) {
        if (auto loaded = hive->load(); !loaded) return unexpected(loaded.error());
    }
    return registry;
}

HiveFile* Registry::hiveOfUser(std::string_view sid) const {
    if (equalsIgnoreAsciiCase(sid, kDefaultUserSid)) return hives_[kUserHive].get();
    if (equalsIgnoreAsciiCase(sid, ".Default")) return hives_[kDefaultUserHive].get();
    return nullptr;
}

Expected<Registry::Location, long> Registry::locate(RegistryRoot root, std::string_view path,
                                                    bool followFinalLink) const {
    std::vector<std::string> parts = registryKeyComponents(path);
    for (const std::string& part : parts) {
        if (part.size() > kMaxKeyNameLength) return unexpected(kErrorInvalidParameter);
    }
    Location location;
    const auto below = [&](HiveFile* hive, std::vector<std::string> base) {
        location.hive = hive;
        base.insert(base.end(), parts.begin(), parts.end());
        location.path = std::move(base);
    };
    switch (root) {
        case RegistryRoot::LocalMachine:
            below(hives_[kSystemHive].get(), {});
            break;
        case RegistryRoot::ClassesRoot:
            below(hives_[kSystemHive].get(), {"Software", "Classes"});
            break;
        case RegistryRoot::CurrentConfig:
            below(hives_[kSystemHive].get(),
                  {"System", "CurrentControlSet", "Hardware Profiles", "Current"});
            break;
        case RegistryRoot::CurrentUser:
            location.hive = hiveOfUser(currentUser_);
            if (location.hive == nullptr) return unexpected(kErrorFileNotFound);
            location.path = std::move(parts);
            break;
        case RegistryRoot::Users:
            if (parts.empty()) return location;
            location.hive = hiveOfUser(parts.front());
            if (location.hive == nullptr) return unexpected(kErrorFileNotFound);
            location.path.assign(parts.begin() + 1, parts.end());
            break;
        case RegistryRoot::PerformanceData:
        case RegistryRoot::DynData:
            return unexpected(kErrorInvalidHandle);
    }
    if (const long error = resolveLinks(location, followFinalLink)) return unexpected(error);
    return location;
}

// Follows symbolic-link keys ("#link" with SymbolicLinkValue = \Registry\Machine\...) on
// the way down; keys that do not exist yet end the walk.
long Registry::resolveLinks(Location& location, bool followFinalLink) const {
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        const RegistryKey* key = &location.hive->root();
        std::size_t i = 0;
        for (; i < location.path.size(); ++i) {
            key = key->subkey(location.path[i]);
            if (key == nullptr) return kErrorSuccess;
            if (!key->isLink || (i + 1 == location.path.size() && !followFinalLink)) continue;
            const RegistryValue* target = key->value("SymbolicLinkValue");
            if (target == nullptr || target->type != kRegLink) continue;
            const std::vector<std::string> targetParts =
                registryKeyComponents(utf16ToUtf8(bytesToUtf16(target->data)));
            if (targetParts.size() < 2 || !equalsIgnoreAsciiCase(targetParts[0], "Registry")) {
                return kErrorFileNotFound;
            }
            Location next;
            std::size_t consumed = 2;
            if (equalsIgnoreAsciiCase(targetParts[1], "Machine")) {
                next.hive = hives_[kSystemHive].get();
            } else if (equalsIgnoreAsciiCase(targetParts[1], "User") && targetParts.size() > 2) {
                next.hive = hiveOfUser(targetParts[2]);
                consumed = 3;
            }
            if (next.hive == nullptr) return kErrorFileNotFound;
            next.path.assign(targetParts.begin() + static_cast<std::ptrdiff_t>(consumed),
                             targetParts.end());
            next.path.insert(next.path.end(),
                             location.path.begin() + static_cast<std::ptrdiff_t>(i + 1),
                             location.path.end());
            location = std::move(next);
            break;
        }
        if (i == location.path.size()) return kErrorSuccess;
    }
    return kErrorFileNotFound;  // a loop of links
}

RegistryKey* Registry::find(const Location& location) const {
    if (location.hive == nullptr) return nullptr;
    RegistryKey* key = &location.hive->root();
    for (const std::string& name : location.path) {
        key = key->subkey(name);
        if (key == nullptr) return nullptr;
    }
    return key;
}

long Registry::createKey(RegistryRoot root, std::string_view path, bool makeVolatile,
                         bool* created) {
    if (ChangeJournal* journal = activeJournal()) journal->beforeKeyMade(*this, root, path);
    if (created) *created = false;
    auto location = locate(root, path);
    if (!location) return location.error();
    if (location->hive == nullptr) return kErrorSuccess;  // HKEY_USERS itself
    RegistryKey* key = &location->hive->root();
    std::size_t existing = 0;
    while (existing < location->path.size()) {
        RegistryKey* next = key->subkey(location->path[existing]);
        if (next == nullptr) break;
        key = next;
        ++existing;
    }
    if (existing == location->path.size()) return kErrorSuccess;
    if (key->isVolatile && !makeVolatile) return kErrorChildMustBeVolatile;
    for (std::size_t i = existing; i < location->path.size(); ++i) {
        key = &key->ensureSubkey(location->path[i]);
        key->isVolatile = makeVolatile;
        key->touch();
    }
    if (!makeVolatile) {
        location->hive->record({HiveChange::Kind::CreateKey, location->path, {}, {}});
    }
    if (created) *created = true;
    return kErrorSuccess;
}

long Registry::createLink(RegistryRoot root, std::string_view path, std::string_view target) {
    if (ChangeJournal* journal = activeJournal()) journal->beforeKeyMade(*this, root, path);
    auto location = locate(root, path, false);
    if (!location) return location.error();
    if (location->hive == nullptr || location->path.empty()) return kErrorAccessDenied;
    const HiveChange change{HiveChange::Kind::CreateLink,
                            location->path,
                            {},
                            {kRegLink, utf16ToBytes(utf8ToUtf16(target))}};
    applyHiveChange(location->hive->root(), change);
    location->hive->record(change);
    return kErrorSuccess;
}

long Registry::openKey(RegistryRoot root, std::string_view path) const {
    auto location = locate(root, path);
    if (!location) return location.error();
    if (location->hive == nullptr) return kErrorSuccess;
    return find(*location) ? kErrorSuccess : kErrorFileNotFound;
}

long Registry::setValue(RegistryRoot root, std::string_view path, std::string_view name,
                        const RegistryValue& value) {
    if (ChangeJournal* journal = activeJournal())
        journal->beforeValueChange(*this, root, path, name);
    if (name.size() > kMaxValueNameLength) return kErrorInvalidParameter;
    auto location = locate(root, path);
    if (!location) return location.error();
    if (location->hive == nullptr) return kErrorAccessDenied;
    RegistryKey* key = find(*location);
    if (key == nullptr) return kErrorFileNotFound;
    key->setValue(name, value);
    key->touch();
    if (!key->isVolatile) {
        location->hive->record(
            {HiveChange::Kind::SetValue, location->path, std::string(name), value});
    }
    return kErrorSuccess;
}

long Registry::queryValue(RegistryRoot root, std::string_view path, std::string_view name,
                          RegistryValue* value) const {
    auto location = locate(root, path);
    if (!location) return location.error();
    const RegistryKey* key = find(*location);
    const RegistryValue* found = key ? key->value(name) : nullptr;
    if (found == nullptr) return kErrorFileNotFound;
    if (value) *value = *found;
    return kErrorSuccess;
}

long Registry::deleteValue(RegistryRoot root, std::string_view path, std::string_view name) {
    if (ChangeJournal* journal = activeJournal())
        journal->beforeValueChange(*this, root, path, name);
    auto location = locate(root, path);
    if (!location) return location.error();
    RegistryKey* key = find(*location);
    if (key == nullptr || !key->removeValue(name)) return kErrorFileNotFound;
    key->touch();
    if (!key->isVolatile) {
        location->hive->record(
            {HiveChange::Kind::DeleteValue, location->path, std::string(name), {}});
    }
    return kErrorSuccess;
}

long Registry::deleteKey(RegistryRoot root, std::string_view path) {
    return removeKey(root, path, false);
}

long Registry::deleteTree(RegistryRoot root, std::string_view path) {
    return removeKey(root, path, true);
}

long Registry::removeKey(RegistryRoot root, std::string_view path, bool wholeTree) {
    if (ChangeJournal* journal = activeJournal()) journal->beforeKeyRemoved(*this, root, path);
    auto location = locate(root, path, false);
    if (!location) return location.error();
    if (location->hive == nullptr || location->path.empty() ||
        registryKeyComponents(path).empty()) {
        return kErrorAccessDenied;
    }
    const RegistryKey* key = find(*location);
    if (key == nullptr) return kErrorFileNotFound;
    if (!wholeTree && !key->subkeys().empty()) return kErrorAccessDenied;
    const HiveChange change{wholeTree ? HiveChange::Kind::DeleteTree : HiveChange::Kind::DeleteKey,
                            location->path,
                            {},
                            {}};
    const bool wasVolatile = key->isVolatile;
    applyHiveChange(location->hive->root(), change);
    if (!wasVolatile) location->hive->record(change);
    return kErrorSuccess;
}

long Registry::subkeyNames(RegistryRoot root, std::string_view path,
                           std::vector<std::string>* names) const {
    auto location = locate(root, path);
    if (!location) return location.error();
    names->clear();
    if (location->hive == nullptr) {
        *names = {".Default", std::string(kDefaultUserSid)};
        return kErrorSuccess;
    }
    const RegistryKey* key = find(*location);
    if (key == nullptr) return kErrorFileNotFound;
    for (const auto& [name, subkey] : key->subkeys()) names->push_back(name);
    return kErrorSuccess;
}

long Registry::valueNames(RegistryRoot root, std::string_view path,
                          std::vector<std::string>* names) const {
    auto location = locate(root, path);
    if (!location) return location.error();
    names->clear();
    if (location->hive == nullptr) return kErrorSuccess;
    const RegistryKey* key = find(*location);
    if (key == nullptr) return kErrorFileNotFound;
    for (const auto& [name, value] : key->values()) names->push_back(name);
    return kErrorSuccess;
}

long Registry::queryKeyInfo(RegistryRoot root, std::string_view path, RegistryKeyInfo* info) const {
    auto location = locate(root, path);
    if (!location) return location.error();
    if (location->hive == nullptr) {
        *info = {2, 0, false};
        return kErrorSuccess;
    }
    const RegistryKey* key = find(*location);
    if (key == nullptr) return kErrorFileNotFound;
    *info = {key->subkeys().size(), key->values().size(), key->isVolatile};
    return kErrorSuccess;
}

const CodePage& ansiCodePage(const Registry& registry) {
    RegistryValue acp;
    if (registry.queryValue(RegistryRoot::LocalMachine,
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
    bool anyDirty = false;
    for (const auto& hive : hives_) anyDirty = anyDirty || hive->dirty();
    if (!anyDirty) return {};
    if (wineServerRunning(prefix_, serverDirectory_)) {
        return unexpected(RegistryError{
            kErrorBusy,
            "a wineserver is running for " + prefix_.string() +
                "; it would overwrite the registry files (stop it with \"wineserver -k\")"});
    }
    for (const auto& hive : hives_) {
        if (auto saved = hive->save(); !saved) return saved;
    }
    return {};
}

}  // namespace kestrel::platform
