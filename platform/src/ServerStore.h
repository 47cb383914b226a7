#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

#include "RegistryHelperProcess.h"
#include "RegistryStore.h"

namespace kestrel::platform {

// The registry as a running wineserver holds it, reached through the helper program: every
// call is a request, carried out by the server in the order sent, so Windows programs of the
// prefix see it and we see what they write. Wine does not tell whether a key is volatile:
// such keys are reported as ordinary ones.
//
// Each answer is a round trip through two processes, far dearer than the work itself; two
// things save most of them. The keys that exist, as far as this run has seen, are known, so
// that making one of them again is answered here. And a value set in such a key is sent
// without waiting for its answer, which only fails when a Windows program removed the key
// meanwhile (or Wine has gone): such a refusal is kept and reported by settle(), as the hive
// files report a save that failed. Any call that needs an answer reads those before.
class ServerStore : public RegistryStore {
  public:
    explicit ServerStore(std::unique_ptr<RegistryHelperProcess> helper);
    // Reads the answers still outstanding; a refusal never reported is said on standard error.
    ~ServerStore() override;

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

    // Waits for every answer outstanding: the first change the server refused since the last
    // call, with how many it refused, or nothing.
    Expected<void, RegistryError> settle();
    // From now on every key is looked up again: for while a Windows program may remove keys.
    void forgetKeys();

  private:
    struct Answer;
    // A key as one string that is the same for every spelling of it (names case-folded).
    using Key = std::string;
    static Key keyOf(StoreRoot root, const Path& path);
    // Sends the request and waits for its answer: the error code, and its fields in `answer`
    // on success. A helper that has gone gives ERROR_REGISTRY_IO_FAILED, said once on
    // standard error.
    long call(const std::string& request, Answer* answer);
    // The next answer, as call() gives it.
    long receiveAnswer(Answer* answer);
    // Sends the request, a change of `key`, without waiting; `what` names it for a refusal.
    void sendAhead(const std::string& request, Key key, std::string what);
    // Reads the answers outstanding until at most `left` are.
    void receiveAhead(std::size_t left);
    long unreachable(const std::string& why);
    long listNames(int operation, StoreRoot root, const Path& path,
                   std::vector<std::string>* names);
    // Keeps what an answer says of the key: it exists (success), or may not (not found).
    long noteKey(long error, const Key& key);

    std::unique_ptr<RegistryHelperProcess> helper_;
    struct Ahead {
        Key key;
        std::string what;
    };
    std::deque<Ahead> ahead_;       // the requests sent ahead, oldest first
    std::unordered_set<Key> keys_;  // keys that exist, as far as we have seen
    std::optional<RegistryError> refused_;
    std::size_t refusals_ = 0;
    // The key's counts as the last call (a value removed) left them, for the next call.
    std::optional<Key> countedKey_;
    RegistryKeyInfo counts_;
    bool failureSaid_ = false;
};

}  // namespace kestrel::platform
