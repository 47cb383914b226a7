#include "ServerStore.h"

#include <cstdint>
#include <cstdio>

#include "platform/WideText.h"
#include "platform/WindowsErrors.h"

namespace kestrel::platform {

namespace {

using namespace std::chrono_literals;

// A call is a few server requests; this is for a Wine that has stopped answering.
constexpr auto kCallTimeout = 2min;

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

long ServerStore::call(const std::string& request, Answer* answer) {
    auto exchanged = helper_->exchange(request, kCallTimeout);
    Answer reply;
    if (exchanged) reply.bytes = std::move(*exchanged);
    const long error = static_cast<std::int32_t>(reply.number());
    if (!exchanged || reply.bad) {
        if (!failureSaid_) {
            std::fprintf(
                stderr, "error: the registry of Wine cannot be reached: %s\n",
                exchanged ? "the helper's answer is cut short" : exchanged.error().c_str());
            failureSaid_ = true;
        }
        return kErrorRegistryIoFailed;
    }
    if (answer) *answer = std::move(reply);
    return error;
}

long ServerStore::createKey(StoreRoot root, const Path& path, bool makeVolatile, bool* created) {
    std::string out = request(kCreateKey, root, path);
    out.push_back(makeVolatile ? 1 : 0);
    Answer answer;
    const long error = call(out, &answer);
    if (error == kErrorSuccess && created && answer.at < answer.bytes.size())
        *created = answer.bytes[answer.at] != 0;
    return error;
}

long ServerStore::createLink(StoreRoot root, const Path& path, std::string_view target) {
    std::string out = request(kCreateLink, root, path);
    putText(out, target);
    return call(out, nullptr);
}

long ServerStore::openKey(StoreRoot root, const Path& path) {
    return call(request(kOpenKey, root, path), nullptr);
}

long ServerStore::setValue(StoreRoot root, const Path& path, std::string_view name,
                           const RegistryValue& value) {
    std::string out = request(kSetValue, root, path);
    putText(out, name);
    putNumber(out, value.type);
    putBlob(out, value.data);
    return call(out, nullptr);
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
    if (value) *value = std::move(found);
    return kErrorSuccess;
}

long ServerStore::deleteValue(StoreRoot root, const Path& path, std::string_view name) {
    std::string out = request(kDeleteValue, root, path);
    putText(out, name);
    return call(out, nullptr);
}

long ServerStore::deleteKey(StoreRoot root, const Path& path, bool wholeTree) {
    return call(request(wholeTree ? kDeleteTree : kDeleteKey, root, path), nullptr);
}

long ServerStore::listNames(int operation, StoreRoot root, const Path& path,
                            std::vector<std::string>* names) {
    Answer answer;
    const long error = call(request(static_cast<Operation>(operation), root, path), &answer);
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
    Answer answer;
    const long error = call(request(kKeyInfo, root, path), &answer);
    if (error != kErrorSuccess) return error;
    RegistryKeyInfo found;
    found.subkeys = answer.number();
    found.values = answer.number();
    if (answer.bad) return kErrorRegistryIoFailed;
    *info = found;
    return kErrorSuccess;
}

}  // namespace kestrel::platform
