#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"
#include "script/Expander.h"

namespace kestrel::setup {

// What one line of a registry section says, its variables expanded.
struct RegistryEntry {
    bool deletion = false;  // a leading "-", or flag 0x4 in the field form
    platform::RegistryRoot root = platform::RegistryRoot::LocalMachine;
    std::string key;
    std::string valueName;  // empty: the key's default value
    bool hasValueName = false;
    std::uint32_t type = 1;  // REG_SZ
    std::string data;        // as handed to the system: strings with their zero byte(s)
    bool hasData = false;    // data given (not empty, or exactly "")
};

inline constexpr std::size_t kMaxRegistryData = 8192;

// Reads a line in the path form
//     [-]root\key path[:value name]=[hex:|hexsz:|multisz:|expandsz:|dword:]data
// or the field form
//     [-]root,key path,value name,flags,data...
// Each part is expanded after the line is taken apart, so a value that holds ":", "=" or ","
// cannot change what the line means. nullopt for a line with no known root (it is ignored).
std::optional<RegistryEntry> parseRegistryLine(std::string_view line, const Expander& expander);

}  // namespace kestrel::setup
