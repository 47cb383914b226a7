#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "RegistryHelperProcess.h"
#include "RegistryStore.h"

namespace kestrel::platform {

// The registry as a running wineserver holds it, reached through the helper program: every
// call is one request, carried out by the server at once, so Windows programs of the prefix
// see it and we see what they write. Wine does not tell whether a key is volatile: such keys
// are reported as ordinary ones.
class ServerStore : public RegistryStore {
  public:
    explicit ServerStore(std::unique_ptr<RegistryHelperProcess> helper);

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
    struct Answer;
    // Sends the request; the answer's error code, and its fields in `answer` on success.
    // A helper that has gone gives ERROR_REGISTRY_IO_FAILED, said once on standard error.
    long call(const std::string& request, Answer* answer);
    long listNames(int operation, StoreRoot root, const Path& path,
                   std::vector<std::string>* names);

    std::unique_ptr<RegistryHelperProcess> helper_;
    bool failureSaid_ = false;
};

}  // namespace kestrel::platform
