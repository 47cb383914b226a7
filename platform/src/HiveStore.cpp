#include "HiveStore.h"

#include "platform/AsciiCase.h"
#include "platform/WideText.h"
#include "platform/WindowsErrors.h"

namespace kestrel::platform {

namespace {

constexpr int kMaxLinkDepth = 16;

enum HiveIndex { kSystemHive, kUserHive, kDefaultUserHive };

}  // namespace

HiveStore::HiveStore(const std::filesystem::path& prefix) {
    hives_.push_back(std::make_unique<HiveFile>(prefix / "system.reg", "\\\\Machine"));
    hives_.push_back(std::make_unique<HiveFile>(
        prefix / "user.reg", "\\\\User\\\\" + std::string(Registry::kDefaultUserSid)));
    hives_.push_back(std::make_unique<HiveFile>(prefix / "userdef.reg", "\\\\User\\\\.Default"));
}

Expected<void, ParseError> HiveStore::load() {
    for (const auto& hive : hives_) {
        if (auto loaded = hive->load(); !loaded) return loaded;
    }
    return {};
}

Expected<void, ParseError> HiveStore::reload() {
    for (const auto& hive : hives_) {
        if (auto loaded = hive->reload(); !loaded) return loaded;
    }
    return {};
}

bool HiveStore::dirty() const {
    for (const auto& hive : hives_) {
        if (hive->dirty()) return true;
    }
    return false;
}

Expected<void, RegistryError> HiveStore::save() {
    for (const auto& hive : hives_) {
        if (auto saved = hive->save(); !saved) return saved;
    }
    return {};
}

std::vector<std::pair<StoreRoot, HiveChange>> HiveStore::pendingChanges() const {
    std::vector<std::pair<StoreRoot, HiveChange>> changes;
    const std::pair<HiveIndex, const char*> hives[] = {
        {kSystemHive, nullptr},
        {kUserHive, Registry::kDefaultUserSid.data()},
        {kDefaultUserHive, ".Default"}};
    for (const auto& [index, user] : hives) {
        for (HiveChange change : hives_[index]->pendingChanges()) {
            if (user == nullptr) {
                changes.emplace_back(StoreRoot::Machine, std::move(change));
                continue;
            }
            change.path.insert(change.path.begin(), user);
            changes.emplace_back(StoreRoot::Users, std::move(change));
        }
    }
    return changes;
}

HiveFile* HiveStore::hiveOfUser(std::string_view sid) const {
    if (equalsIgnoreAsciiCase(sid, Registry::kDefaultUserSid)) return hives_[kUserHive].get();
    if (equalsIgnoreAsciiCase(sid, ".Default")) return hives_[kDefaultUserHive].get();
    return nullptr;
}

Expected<HiveStore::Location, long> HiveStore::locate(StoreRoot root, const Path& path,
                                                      bool followFinalLink) const {
    Location location;
    if (root == StoreRoot::Machine) {
        location = {hives_[kSystemHive].get(), path};
    } else {
        location.hive = path.empty() ? nullptr : hiveOfUser(path.front());
        if (location.hive == nullptr) return unexpected(kErrorFileNotFound);
        location.path.assign(path.begin() + 1, path.end());
    }
    if (const long error = resolveLinks(location, followFinalLink)) return unexpected(error);
    return location;
}

// Follows symbolic-link keys ("#link" with SymbolicLinkValue = \Registry\Machine\...) on
// the way down; keys that do not exist yet end the walk.
long HiveStore::resolveLinks(Location& location, bool followFinalLink) const {
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

RegistryKey* HiveStore::find(const Location& location) const {
    RegistryKey* key = &location.hive->root();
    for (const std::string& name : location.path) {
        key = key->subkey(name);
        if (key == nullptr) return nullptr;
    }
    return key;
}

long HiveStore::createKey(StoreRoot root, const Path& path, bool makeVolatile, bool* created) {
    auto location = locate(root, path);
    if (!location) return location.error();
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

long HiveStore::createLink(StoreRoot root, const Path& path, std::string_view target) {
    auto location = locate(root, path, false);
    if (!location) return location.error();
    if (location->path.empty()) return kErrorAccessDenied;
    const HiveChange change{HiveChange::Kind::CreateLink,
                            location->path,
                            {},
                            {kRegLink, utf16ToBytes(utf8ToUtf16(target))}};
    applyHiveChange(location->hive->root(), change);
    location->hive->record(change);
    return kErrorSuccess;
}

long HiveStore::openKey(StoreRoot root, const Path& path) {
    auto location = locate(root, path);
    if (!location) return location.error();
    return find(*location) ? kErrorSuccess : kErrorFileNotFound;
}

long HiveStore::setValue(StoreRoot root, const Path& path, std::string_view name,
                         const RegistryValue& value) {
    auto location = locate(root, path);
    if (!location) return location.error();
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

long HiveStore::queryValue(StoreRoot root, const Path& path, std::string_view name,
                           RegistryValue* value) {
    auto location = locate(root, path);
    if (!location) return location.error();
    const RegistryKey* key = find(*location);
    const RegistryValue* found = key ? key->value(name) : nullptr;
    if (found == nullptr) return kErrorFileNotFound;
    if (value) *value = *found;
    return kErrorSuccess;
}

long HiveStore::deleteValue(StoreRoot root, const Path& path, std::string_view name) {
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

long HiveStore::deleteKey(StoreRoot root, const Path& path, bool wholeTree) {
    auto location = locate(root, path, false);
    if (!location) return location.error();
    if (location->path.empty()) return kErrorAccessDenied;
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

long HiveStore::subkeyNames(StoreRoot root, const Path& path, std::vector<std::string>* names) {
    auto location = locate(root, path);
    if (!location) return location.error();
    const RegistryKey* key = find(*location);
    if (key == nullptr) return kErrorFileNotFound;
    for (const auto& [name, subkey] : key->subkeys()) names->push_back(name);
    return kErrorSuccess;
}

long HiveStore::valueNames(StoreRoot root, const Path& path, std::vector<std::string>* names) {
    auto location = locate(root, path);
    if (!location) return location.error();
    const RegistryKey* key = find(*location);
    if (key == nullptr) return kErrorFileNotFound;
    for (const auto& [name, value] : key->values()) names->push_back(name);
    return kErrorSuccess;
}

long HiveStore::queryKeyInfo(StoreRoot root, const Path& path, RegistryKeyInfo* info) {
    auto location = locate(root, path);
    if (!location) return location.error();
    const RegistryKey* key = find(*location);
    if (key == nullptr) return kErrorFileNotFound;
    *info = {key->subkeys().size(), key->values().size(), key->isVolatile};
    return kErrorSuccess;
}

}  // namespace kestrel::platform
