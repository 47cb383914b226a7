#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/RegistryServices.h"

namespace kestrel::setup {

// The value shapes the system's own stores (ODBC, spooler) keep beside plain strings.
// Writers return the Windows error code (0 = success).
[[nodiscard]] long writeDword(RegistryServices& registry, platform::RegistryRoot root,
                              std::string_view key, std::string_view name, std::uint32_t value);
// nullopt when the value is missing.
std::optional<std::uint32_t> readDword(const RegistryServices& registry,
                                       platform::RegistryRoot root, std::string_view key,
                                       std::string_view name);
[[nodiscard]] long writeMultiString(RegistryServices& registry, platform::RegistryRoot root,
                                    std::string_view key, std::string_view name,
                                    const std::vector<std::string>& strings);
// Empty when the value is missing.
std::vector<std::string> readMultiString(const RegistryServices& registry,
                                         platform::RegistryRoot root, std::string_view key,
                                         std::string_view name);
// A string value, nullopt when missing.
std::optional<std::string> readString(const RegistryServices& registry, platform::RegistryRoot root,
                                      std::string_view key, std::string_view name);

}  // namespace kestrel::setup
