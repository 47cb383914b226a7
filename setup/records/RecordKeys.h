// Where an installation's records live in the registry, and how they are read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ops/RegistryServices.h"
#include "script/RunState.h"

namespace kestrel::setup::records {

// The system's list of installed programs.
inline constexpr std::string_view kUninstallList =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Software\<machineKeyName>\Setup, and one of its subkeys (Options, Sections, Prompts, Users).
std::string setupKey(std::string_view machineKeyName);
std::string setupKey(std::string_view machineKeyName, std::string_view subkey);
// Software\<machineKeyName without its last part>: the key whose subkeys are the product's
// versions. nullopt when the name has no backslash, so no other version can be found.
std::optional<std::string> productKey(std::string_view machineKeyName);
std::string uninstallEntryKey(std::string_view uninstallKeyName);
// Whether a name from the script names a key below the one it is joined to: a name of
// nothing but backslashes would name that key itself (the user's Software, the whole list of
// installed programs), which no deletion of ours may take.
bool namesSubkey(std::string_view name);

// The hive of the run's own records: the user's in a per-user part, else the machine's.
platform::RegistryRoot recordRoot(const RunState& run);

// A record value as text. Records are short strings we wrote ourselves; anything else found
// there (no such value, another type, a text longer than a variable holds, 255 characters)
// was not written by an installation and reads as empty.
std::string readRecord(const RegistryServices& registry, platform::RegistryRoot root,
                       std::string_view key, std::string_view name);
// A record that marks a kind of installation ("1"): set when its number is not 0.
bool readMark(const RegistryServices& registry, platform::RegistryRoot root, std::string_view key,
              std::string_view name);

// Directory texts compared as the same folder: without regard to case or a final backslash.
bool sameDirectory(std::string_view a, std::string_view b);

}  // namespace kestrel::setup::records
