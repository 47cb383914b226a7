#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

namespace kestrel::platform {

// The two trees a store keeps: HKEY_LOCAL_MACHINE, and HKEY_USERS with the users' hives
// (".Default", the prefix's user) as its first level. The other roots are parts of these.
enum class StoreRoot { Machine, Users };

// Where Registry keeps the keys: the hive files in memory (HiveStore) or a running
// wineserver (ServerStore). Registry has checked the names for length, mapped the roots to
// the two above and kept HKEY_USERS itself to itself; paths come as their components.
// Calls return Windows error codes, as Registry's do.
class RegistryStore {
  public:
    using Path = std::vector<std::string>;

    virtual ~RegistryStore() = default;
    virtual long createKey(StoreRoot root, const Path& path, bool makeVolatile, bool* created) = 0;
    virtual long createLink(StoreRoot root, const Path& path, std::string_view target) = 0;
    virtual long openKey(StoreRoot root, const Path& path) = 0;
    virtual long setValue(StoreRoot root, const Path& path, std::string_view name,
                          const RegistryValue& value) = 0;
    virtual long queryValue(StoreRoot root, const Path& path, std::string_view name,
                            RegistryValue* value) = 0;
    virtual long deleteValue(StoreRoot root, const Path& path, std::string_view name) = 0;
    // `wholeTree`: with everything below; otherwise only a key without subkeys. A link key
    // is removed itself, never its target.
    virtual long deleteKey(StoreRoot root, const Path& path, bool wholeTree) = 0;
    virtual long subkeyNames(StoreRoot root, const Path& path, std::vector<std::string>* names) = 0;
    virtual long valueNames(StoreRoot root, const Path& path, std::vector<std::string>* names) = 0;
    virtual long queryKeyInfo(StoreRoot root, const Path& path, RegistryKeyInfo* info) = 0;
};

}  // namespace kestrel::platform
