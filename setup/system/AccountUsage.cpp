#include "system/AccountUsage.h"

namespace kestrel::setup {

namespace {

constexpr platform::RegistryRoot kMachine = platform::RegistryRoot::LocalMachine;

std::string keyOf(std::string_view kind) {
    return std::string(AccountUsage::kKey) + "\\" + std::string(kind);
}

}  // namespace

std::optional<std::uint32_t> AccountUsage::count(std::string_view kind,
                                                 std::string_view name) const {
    platform::RegistryValue value;
    if (context_.registry.readValue(kMachine, keyOf(kind), name, &value) != 0 ||
        value.type != platform::kRegDword)
        return std::nullopt;
    return value.dwordValue();
}

// The counts are bookkeeping beside the accounts themselves: like the section counts, one
// that cannot be written stops nothing (a hive that cannot be saved is reported when the
// section's changes are saved).
void AccountUsage::countAdd(std::string_view kind, std::string_view name, bool existedBefore) {
    const auto current = count(kind, name);
    if (current && (context_.run.repeat || context_.run.newInstance)) return;
    store(kind, name, current ? *current + 1 : existedBefore ? 2 : 1);
}

void AccountUsage::store(std::string_view kind, std::string_view name, std::uint32_t count) {
    const char data[4] = {static_cast<char>(count & 0xff), static_cast<char>(count >> 8 & 0xff),
                          static_cast<char>(count >> 16 & 0xff), static_cast<char>(count >> 24)};
    (void)context_.registry.createKey(kMachine, keyOf(kind));
    (void)context_.registry.setValue(kMachine, keyOf(kind), name, platform::kRegDword,
                                     std::string_view(data, sizeof data));
}

bool AccountUsage::countRemove(std::string_view kind, std::string_view name) {
    const auto current = count(kind, name);
    if (!current) return false;
    if (*current > 1) {
        store(kind, name, *current - 1);
        return false;
    }
    (void)context_.registry.deleteValue(kMachine, keyOf(kind), name);
    (void)context_.registry.removeEmptyKeys(kMachine, keyOf(kind));
    return true;
}

}  // namespace kestrel::setup
