#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace kestrel::setup {

// The root names scripts use, long and short ("HKEY_LOCAL_MACHINE", "HKLM"...), compared
// without case.
std::optional<platform::RegistryRoot> registryRootOfName(std::string_view name);

// Reads registry values as text for %...% references (the registry services implement it).
class RegistryReader {
  public:
    virtual ~RegistryReader() = default;
    // The value as text (see RegistryServices::readText); a system error code on failure.
    [[nodiscard]] virtual long readText(platform::RegistryRoot root, std::string_view key,
                                        std::string_view name, std::string* text) const = 0;
};

}  // namespace kestrel::setup
