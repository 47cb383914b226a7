#include "platform/RegistryKey.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <chrono>

#include "platform/AsciiCase.h"
#include "platform/WideText.h"

namespace kestrel::platform {

namespace {

// Wine compares names over UTF-16 after the simple Unicode lower-case mapping (so the
// Kelvin sign is a "k", while the micro sign and the Greek mu stay two letters); for ASCII
// that is the order the hive files have always had.
char16_t foldCase(char16_t unit) {
    if (unit < 0x80) return static_cast<char16_t>(asciiLower(static_cast<char>(unit)));
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    if (unicode == nullptr) return unit;
    const wint_t lower = towlower_l(unit, unicode);
    // A lower case beyond UTF-16's first plane cannot stand for one code unit.
    return lower <= 0xFFFF ? static_cast<char16_t>(lower) : unit;
}

}  // namespace

bool RegistryNameLess::operator()(std::string_view a, std::string_view b) const {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    for (; i < n; ++i) {
        if (((static_cast<unsigned char>(a[i]) | static_cast<unsigned char>(b[i])) & 0x80) != 0)
            break;
        const auto x = static_cast<unsigned char>(asciiLower(a[i]));
        const auto y = static_cast<unsigned char>(asciiLower(b[i]));
        if (x != y) return x < y;
    }
    if (i == n) return a.size() < b.size();
    // Past the ASCII part the names compare as the system keeps them, in UTF-16.
    const std::u16string x = utf8ToUtf16(a.substr(i));
    const std::u16string y = utf8ToUtf16(b.substr(i));
    return std::lexicographical_compare(
        x.begin(), x.end(), y.begin(), y.end(),
        [](char16_t p, char16_t q) { return foldCase(p) < foldCase(q); });
}

std::string foldedRegistryName(std::string_view name) {
    const bool ascii = std::none_of(name.begin(), name.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0x80) != 0;
    });
    if (ascii) return asciiLower(name);
    std::u16string units = utf8ToUtf16(name);
    for (char16_t& unit : units) unit = foldCase(unit);
    return utf16ToUtf8(units);
}

RegistryKey::~RegistryKey() {
    // Each key is destroyed only once it holds no subkeys, so no destructor recurses.
    std::vector<std::unique_ptr<RegistryKey>> pending;
    const auto detachSubkeys = [&pending](RegistryKey& key) {
        for (auto& entry : key.subkeys_) pending.push_back(std::move(entry.second));
        key.subkeys_.clear();
    };
    detachSubkeys(*this);
    while (!pending.empty()) {
        std::unique_ptr<RegistryKey> key = std::move(pending.back());
        pending.pop_back();
        detachSubkeys(*key);
    }
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    // The old tree goes with `previous`, through the destructor above.
    RegistryKey previous(std::move(*this));
    name_ = std::move(other.name_);
    subkeys_ = std::move(other.subkeys_);
    values_ = std::move(other.values_);
    unreadLines_ = std::move(other.unreadLines_);
    isVolatile = other.isVolatile;
    isLink = other.isLink;
    className = std::move(other.className);
    seconds = other.seconds;
    fileTime = other.fileTime;
    keptLines = std::move(other.keptLines);
    return *this;
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
    forgetUnreadLine(name);
    if (const auto it = values_.find(name); it != values_.end()) {
        it->second = std::move(value);
    } else {
        values_.emplace(std::string(name), std::move(value));
    }
}

bool RegistryKey::removeValue(std::string_view name) {
    forgetUnreadLine(name);
    const auto it = values_.find(name);
    if (it == values_.end()) return false;
    values_.erase(it);
    return true;
}

void RegistryKey::setUnreadValue(std::string_view name, std::string line) {
    setValue(name, {kRegNone, {}});
    unreadLines_.insert_or_assign(std::string(name), std::move(line));
}

void RegistryKey::forgetUnreadLine(std::string_view name) {
    if (const auto it = unreadLines_.find(name); it != unreadLines_.end()) unreadLines_.erase(it);
}

const std::string* RegistryKey::unreadLine(std::string_view valueName) const {
    const auto it = unreadLines_.find(valueName);
    return it == unreadLines_.end() ? nullptr : &it->second;
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
