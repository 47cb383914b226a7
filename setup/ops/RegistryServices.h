#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/MachineRoot.h"
#include "script/Environment.h"
#include "script/RegistryReader.h"

namespace kestrel::setup {

// The installer's registry: the roots scripts name, HKEY_CURRENT_USER standing for the
// user the run works for, and the services every operation uses. Calls return Windows
// error codes (0 = success); scripts act on them, so none may go unchecked.
//
// The installer speaks bytes, as the script file holds them: its text is in the root's ANSI
// code page (platform::ansiCodePage). platform::Registry speaks UTF-8, as the hive files
// do. This class is where the two meet: every key path, value name and string value
// (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) crosses here, converted through that one code page
// in both directions, so what one run writes the next one finds.
class RegistryServices : public RegistryReader {
  public:
    RegistryServices(platform::MachineRoot& machine, const Environment& environment);

    // An installation for another Windows user: HKEY_CURRENT_USER then means that user's
    // key below HKEY_USERS. nullopt: the current user.
    void setWindowsUserSid(std::optional<std::string> sid) { windowsUserSid_ = std::move(sid); }

    // The value as text: strings as stored (expandable ones with the environment's
    // references expanded), numbers in decimal, binary data as "xx,xx", multi-strings with
    // tabs between the strings; cut to size - 1 characters.
    [[nodiscard]] long readText(platform::RegistryRoot root, std::string_view key,
                                std::string_view name, std::string* text) const override;
    [[nodiscard]] long readText(platform::RegistryRoot root, std::string_view key,
                                std::string_view name, std::string* text, std::size_t size) const;
    // A string value as stored, its %references% left as they are, and its type (REG_SZ,
    // REG_EXPAND_SZ...): what a program that edits the value reads. Other types give
    // ERROR_INVALID_PARAMETER.
    [[nodiscard]] long readString(platform::RegistryRoot root, std::string_view key,
                                  std::string_view name, std::string* text,
                                  std::uint32_t* type) const;
    // The value as the system keeps it (strings in UTF-16).
    [[nodiscard]] long readValue(platform::RegistryRoot root, std::string_view key,
                                 std::string_view name, platform::RegistryValue* value) const;

    // Creates the key (volatile when the system says a child of a volatile key must be).
    [[nodiscard]] long createKey(platform::RegistryRoot root, std::string_view key,
                                 bool* created = nullptr);
    // `data` as a program that speaks bytes hands it over: strings with their zero byte(s).
    [[nodiscard]] long setValue(platform::RegistryRoot root, std::string_view key,
                                std::string_view name, std::uint32_t type, std::string_view data);
    // Creates the key when missing and sets a string value.
    [[nodiscard]] long writeString(platform::RegistryRoot root, std::string_view key,
                                   std::string_view name, std::string_view text);
    [[nodiscard]] long deleteValue(platform::RegistryRoot root, std::string_view key,
                                   std::string_view name);
    [[nodiscard]] long deleteKey(platform::RegistryRoot root, std::string_view key);
    // All subkeys depth-first, then the key.
    [[nodiscard]] long deleteTree(platform::RegistryRoot root, std::string_view key);
    // Deletes the key, then each parent in turn, while it has neither subkeys nor values.
    // Keys directly below a hive (Software, System, a user's first level) always stay.
    [[nodiscard]] long removeEmptyKeys(platform::RegistryRoot root, std::string_view key);
    // The names of the key's subkeys and values, in the registry's order.
    [[nodiscard]] long subkeyNames(platform::RegistryRoot root, std::string_view key,
                                   std::vector<std::string>* names) const;
    [[nodiscard]] long valueNames(platform::RegistryRoot root, std::string_view key,
                                  std::vector<std::string>* names) const;
    bool keyExists(platform::RegistryRoot root, std::string_view key) const;
    bool hasSubkeys(platform::RegistryRoot root, std::string_view key) const;
    // An existing key without subkeys and values.
    bool isEmptyKey(platform::RegistryRoot root, std::string_view key) const;

    // Writes the changes to the hive files (see platform::Registry::save).
    platform::Expected<void, platform::RegistryError> save();

    platform::MachineRoot& machine() { return machine_; }

  private:
    struct Target {
        platform::RegistryRoot root;
        std::string path;
    };
    Target map(platform::RegistryRoot root, std::string_view key) const;
    std::string utf8(std::string_view ansi) const { return codePage_.toUtf8(ansi); }

    platform::MachineRoot& machine_;
    const platform::CodePage& codePage_;
    const Environment& environment_;
    std::optional<std::string> windowsUserSid_;
};

}  // namespace kestrel::setup
