#pragma once

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "HiveFile.h"
#include "RegistryStore.h"

namespace kestrel::platform {

// The registry as the hive files of a prefix hold it, in memory: system.reg
// (HKEY_LOCAL_MACHINE), user.reg (HKEY_USERS\S-1-5-21-0-0-0-1000) and userdef.reg
// (HKEY_USERS\.Default). Symbolic-link keys (System\CurrentControlSet in older prefixes) are
// followed on the way down. Changes stay in memory until save().
class HiveStore : public RegistryStore {
  public:
    explicit HiveStore(const std::filesystem::path& prefix);

    // Reads the three files; a missing one is an empty hive.
    Expected<void, ParseError> load();
    bool dirty() const;
    Expected<void, RegistryError> save();
    // Reads again the files another process wrote, our unsaved changes kept on top.
    Expected<void, ParseError> reload();
    // The changes not saved yet, each with the tree it belongs to (a user's hive's changes
    // with the user's name in front of their paths).
    std::vector<std::pair<StoreRoot, HiveChange>> pendingChanges() const;

    long createKey(StoreRoot root, const Path& path, bool makeVolatile, bool* created) override;
    long createLink(StoreRoot root, const Path& path, std::string_view target) override;
    long openKey(StoreRoot root, const Path& path) override;
    long setValue(StoreRoot root, const Path& path, std::string_view name,
                  const RegistryValue& value) override;
    long queryValue(StoreRoot root, const Path& path, std::string_view name,
                    RegistryValue* value) override;
    long deleteValue(StoreRoot root, const Path& path, std::string_view name) override;
    long deleteKey(StoreRoot root, const Path& path, bool wholeTree) override;
    long subkeyNames(StoreRoot root, const Path& path, std::vector<std::string>* names) override;
    long valueNames(StoreRoot root, const Path& path, std::vector<std::string>* names) override;
    long queryKeyInfo(StoreRoot root, const Path& path, RegistryKeyInfo* info) override;

  private:
    struct Location {
        HiveFile* hive = nullptr;
        Path path;
    };
    Expected<Location, long> locate(StoreRoot root, const Path& path,
                                    bool followFinalLink = true) const;
    long resolveLinks(Location& location, bool followFinalLink) const;
    HiveFile* hiveOfUser(std::string_view sid) const;
    RegistryKey* find(const Location& location) const;

    std::vector<std::unique_ptr<HiveFile>> hives_;  // system, user, userdef
};

}  // namespace kestrel::platform
