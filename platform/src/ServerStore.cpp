#include "ServerStore.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "platform/RegistryKey.h"
#include "platform/WideText.h"
#include "platform/WindowsErrors.h"

namespace kestrel::platform {

namespace {

using namespace std::chrono_literals;

// A call is a few server requests; this is for a Wine that has stopped answering.
constexpr auto kCallTimeout = 2min;
// Requests sent ahead of their answers at most: the answers (8 bytes each) must fit in the
// pipe back, which is never less than a page, or the helper would stop reading.
constexpr std::size_t kAhead = 256;

// The operations of the helper's protocol (platform/windows/RegistryHelper.c).
enum Operation : std::uint8_t {
    kCreateKey = 1,
    kCreateLink,
    kOpenKey,
    kSetValue,
    kQueryValue,
    kDeleteValue,
    kDeleteKey,
    kDeleteTree,
    kSubkeyNames,
    kValueNames,
    kKeyInfo,
};

void putNumber(std::string& out, std::uint32_t number) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((number >> (8 * i)) & 0xff));
}

void putBlob(std::string& out, std::string_view bytes) {
    putNumber(out, static_cast<std::uint32_t>(bytes.size()));
    out.append(bytes);
}

void putText(std::string& out, std::string_view utf8) {
    putBlob(out, utf16ToBytes(utf8ToUtf16(utf8)));
}

std::string request(Operation operation, StoreRoot root, const RegistryStore::Path& path) {
    std::string joined;
    for (const std::string& part : path) joined += (joined.empty() ? "" : "\\") + part;
    std::string out{static_cast<char>(operation),
                    static_cast<char>(root == StoreRoot::Machine ? 0 : 1)};
    putText(out, joined);
    return out;
}

// The key as a person reads it, for messages.
std::string keyName(StoreRoot root, const RegistryStore::Path& path) {
    std::string name = root == StoreRoot::Machine ? "HKEY_LOCAL_MACHINE" : "HKEY_USERS";
    for (const std::string& part : path) name += "\\" + part;
    return name;
}

}  // namespace

// The fields of an answer, read in order; `bad` once they ran short.
struct ServerStore::Answer {
    std::string bytes;
    std::size_t at = 0;
    bool bad = false;

    std::uint32_t number() {
        if (bytes.size() - at < 4) {
            bad = true;
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<unsigned>(i)]);
        at += 4;
        return value;
    }
    std::string blob() {
        const std::uint32_t size = number();
        if (bad || bytes.size() - at < size) {
            bad = true;
            return {};
        }
        std::string out = bytes.substr(at, size);
        at += size;
        return out;
    }
    std::string text() { return utf16ToUtf8(bytesToUtf16(blob())); }
};

ServerStore::ServerStore(std::unique_ptr<RegistryHelperProcess> helper)
    : helper_(std::move(helper)) {}

ServerStore::~ServerStore() {
    // The helper stops at the first answer it cannot write: every answer is read first.
    if (auto settled = settle(); !settled)
        std::fprintf(stderr, "error: %s\n", settled.error().message.c_str());
}

ServerStore::Key ServerStore::keyOf(StoreRoot root, const Path& path) {
    // Names hold no backslash, so joined with one they stay apart.
    Key key(1, static_cast<char>('0' + static_cast<int>(root)));
    for (const std::string& name : path) key += '\\' + foldedRegistryName(name);
    return key;
}

long ServerStore::unreachable(const std::string& why) {
    if (!failureSaid_) {
        std::fprintf(stderr, "error: the registry of Wine cannot be reached: %s\n", why.c_str());
        failureSaid_ = true;
    }
    return kErrorRegistryIoFailed;
}

long ServerStore::call(const std::string& request, Answer* answer) {
    receiveAhead(0);
    countedKey_.reset();
    // A helper that cannot take the request is stopped, and receive() then says why.
    (void)helper_->send(request);
    return receiveAnswer(answer);
}

long ServerStore::receiveAnswer(Answer* answer) {
    auto received = helper_->receive(kCallTimeout);
    if (!received) return unreachable(received.error());
    Answer reply;
    reply.bytes = std::move(*received);
    const long error = static_cast<std::int32_t>(reply.number());
    if (reply.bad) return unreachable("the helper's answer is cut short");
    if (answer) *answer = std::move(reply);
    return error;
}

void ServerStore::sendAhead(const std::string& request, Key key, std::string what) {
    receiveAhead(kAhead - 1);
    countedKey_.reset();
    ahead_.push_back({std::move(key), std::move(what)});
    if (!helper_->send(request)) receiveAhead(0);  // each outstanding one is said to be lost
}

void ServerStore::receiveAhead(std::size_t left) {
    while (ahead_.size() > left) {
        const Ahead& sent = ahead_.front();
        const long error = noteKey(receiveAnswer(nullptr), sent.key);
        if (error != kErrorSuccess && refusals_++ == 0) {
            refused_ = RegistryError{error, "the registry of Wine did not " + sent.what +
                                                " (error " + std::to_string(error) + ")"};
        }
        ahead_.pop_front();
    }
}

Expected<void, RegistryError> ServerStore::settle() {
    receiveAhead(0);
    if (!refused_) return {};
    RegistryError error = std::move(*refused_);
    if (refusals_ == 2) error.message += ", nor the change after it";
    if (refusals_ > 2)
        error.message += ", nor " + std::to_string(refusals_ - 1) + " changes after it";
    refused_.reset();
    refusals_ = 0;
    return unexpected(std::move(error));
}

void ServerStore::forgetKeys() {
    keys_.clear();
}

long ServerStore::noteKey(long error, const Key& key) {
    if (error == kErrorSuccess)
        keys_.insert(key);
    else if (error == kErrorFileNotFound || error == kErrorKeyDeleted)
        keys_.erase(key);
    return error;
}

long ServerStore::createKey(StoreRoot root, const Path& path, bool makeVolatile, bool* created) {
    const Key key = keyOf(root, path);
    if (keys_.contains(key)) {
        if (created) *created = false;
        return kErrorSuccess;
    }
    std::string out = request(kCreateKey, root, path);
    out.push_back(makeVolatile ? 1 : 0);
    Answer answer;
    const long error = noteKey(call(out, &answer), key);
    if (error == kErrorSuccess && created && answer.at < answer.bytes.size())
        *created = answer.bytes[answer.at] != 0;
    return error;
}

long ServerStore::createLink(StoreRoot root, const Path& path, std::string_view target) {
    keys_.clear();  // what lies below the key is now another key's
    std::string out = request(kCreateLink, root, path);
    putText(out, target);
    return call(out, nullptr);
}

long ServerStore::openKey(StoreRoot root, const Path& path) {
    return noteKey(call(request(kOpenKey, root, path), nullptr), keyOf(root, path));
}

long ServerStore::setValue(StoreRoot root, const Path& path, std::string_view name,
                           const RegistryValue& value) {
    std::string out = request(kSetValue, root, path);
    putText(out, name);
    putNumber(out, value.type);
    putBlob(out, value.data);
    Key key = keyOf(root, path);
    if (!keys_.contains(key)) return noteKey(call(out, nullptr), key);
    sendAhead(out, std::move(key),
              "set value \"" + std::string(name) + "\" of " + keyName(root, path));
    return kErrorSuccess;
}

long ServerStore::queryValue(StoreRoot root, const Path& path, std::string_view name,
                             RegistryValue* value) {
    std::string out = request(kQueryValue, root, path);
    putText(out, name);
    Answer answer;
    const long error = call(out, &answer);
    if (error != kErrorSuccess) return error;
    RegistryValue found;
    found.type = answer.number();
    found.data = answer.blob();
    if (answer.bad) return kErrorRegistryIoFailed;
    keys_.insert(keyOf(root, path));
    if (value) *value = std::move(found);
    return kErrorSuccess;
}

long ServerStore::deleteValue(StoreRoot root, const Path& path, std::string_view name) {
    std::string out = request(kDeleteValue, root, path);
    putText(out, name);
    Answer answer;
    Key key = keyOf(root, path);
    const long error = noteKey(call(out, &answer), key);
    if (error != kErrorSuccess) return error;
    counts_.subkeys = answer.number();
    counts_.values = answer.number();
    if (!answer.bad) countedKey_ = std::move(key);
    return kErrorSuccess;
}

long ServerStore::deleteKey(StoreRoot root, const Path& path, bool wholeTree) {
    keys_.clear();  // the key, what is below it, and through links what else
    return call(request(wholeTree ? kDeleteTree : kDeleteKey, root, path), nullptr);
}

long ServerStore::listNames(int operation, StoreRoot root, const Path& path,
                            std::vector<std::string>* names) {
    Answer answer;
    const long error = noteKey(
        call(request(static_cast<Operation>(operation), root, path), &answer), keyOf(root, path));
    if (error != kErrorSuccess) return error;
    const std::uint32_t count = answer.number();
    std::vector<std::string> found;
    for (std::uint32_t i = 0; i < count && !answer.bad; ++i) found.push_back(answer.text());
    if (answer.bad) return kErrorRegistryIoFailed;
    *names = std::move(found);
    return kErrorSuccess;
}

long ServerStore::subkeyNames(StoreRoot root, const Path& path, std::vector<std::string>* names) {
    return listNames(kSubkeyNames, root, path, names);
}

long ServerStore::valueNames(StoreRoot root, const Path& path, std::vector<std::string>* names) {
    return listNames(kValueNames, root, path, names);
}

long ServerStore::queryKeyInfo(StoreRoot root, const Path& path, RegistryKeyInfo* info) {
    const Key key = keyOf(root, path);
    if (countedKey_ == key) {
        *info = counts_;
        countedKey_.reset();
        return kErrorSuccess;
    }
    Answer answer;
    const long error = noteKey(call(request(kKeyInfo, root, path), &answer), key);
    if (error != kErrorSuccess) return error;
    RegistryKeyInfo found;
    found.subkeys = answer.number();
    found.values = answer.number();
    if (answer.bad) return kErrorRegistryIoFailed;
    *info = found;
    return kErrorSuccess;
}

}  // namespace kestrel::platform
