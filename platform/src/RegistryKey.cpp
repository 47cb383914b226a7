#include "platform/RegistryKey.h"

#include <chrono>

#include "platform/AsciiCase.h"

namespace kestrel::platform {

bool RegistryNameLess::operator()(std::string_view a, std::string_view b) const {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(asciiLower(a[i]));
        const auto y = static_cast<unsigned char>(asciiLower(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

RegistryKey* RegistryKey::subkey(std::string_view name) {
    const auto it = subkeys_.find(name);
    return it == subkeys_.end() ? nullptr : it->second.get();
}

const RegistryKey* RegistryKey::subkey(std::string_view name) const {
    const auto it = subkeys_.find(name);
    return it == subkeys_.end() ? nullptr : it->second.get();
}

RegistryKey& RegistryKey::ensureSubkey(std::string_view name) {
    if (RegistryKey* existing = subkey(name)) return *existing;
    auto key = std::make_unique<RegistryKey>(std::string(name));
    RegistryKey& result = *key;
    subkeys_.emplace(std::string(name), std::move(key));
    return result;
}

std::unique_ptr<RegistryKey> RegistryKey::takeSubkey(std::string_view name) {
    const auto it = subkeys_.find(name);
    if (it == subkeys_.end()) return nullptr;
    std::unique_ptr<RegistryKey> key = std::move(it->second);
    subkeys_.erase(it);
    return key;
}

void RegistryKey::adoptSubkey(std::unique_ptr<RegistryKey> key) {
    const std::string name = key->name();
    subkeys_.erase(name);
    subkeys_.emplace(name, std::move(key));
}

const RegistryValue* RegistryKey::value(std::string_view name) const {
    const auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
}

void RegistryKey::setValue(std::string_view name, RegistryValue value) {
    if (const auto it = values_.find(name); it != values_.end()) {
        it->second = std::move(value);
    } else {
        values_.emplace(std::string(name), std::move(value));
    }
}

bool RegistryKey::removeValue(std::string_view name) {
    const auto it = values_.find(name);
    if (it == values_.end()) return false;
    values_.erase(it);
    return true;
}

void RegistryKey::touch() {
    using namespace std::chrono;
    const auto now = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    // FILETIME counts 100 ns steps since 1601; Unix time starts 11644473600 s later.
    constexpr std::uint64_t kEpochDifference = 11644473600ULL * 10000000ULL;
    const auto unixTicks = static_cast<std::uint64_t>(now / 100);
    fileTime = unixTicks + kEpochDifference;
    seconds = unixTicks / 10000000ULL;
}

}  // namespace kestrel::platform
