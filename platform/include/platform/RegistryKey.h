#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryValue.h"

namespace kestrel::platform {

// Registry names compare without regard to case as Wine folds it (Unicode lower case over
// UTF-16, so non-ASCII letters fold too), in the order the hive files use.
struct RegistryNameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};
// The name with its case folded as RegistryNameLess folds it: two names are one exactly when
// their folded forms are the same string, which can be hashed.
std::string foldedRegistryName(std::string_view name);

// One key of a hive held in memory, with everything a hive file says about it, including
// the lines we do not interpret, so that writing the file back loses nothing.
class RegistryKey {
  public:
    using SubkeyMap = std::map<std::string, std::unique_ptr<RegistryKey>, RegistryNameLess>;
    using ValueMap = std::map<std::string, RegistryValue, RegistryNameLess>;

    RegistryKey() = default;
    explicit RegistryKey(std::string name) : name_(std::move(name)) {}
    // Trees may be far deeper than the stack: they are taken apart without recursion.
    ~RegistryKey();
    RegistryKey(RegistryKey&&) noexcept = default;
    RegistryKey& operator=(RegistryKey&& other) noexcept;

    const std::string& name() const { return name_; }

    RegistryKey* subkey(std::string_view name);
    const RegistryKey* subkey(std::string_view name) const;
    // The existing subkey of that name (any case) or a new one spelt as given.
    RegistryKey& ensureSubkey(std::string_view name);
    std::unique_ptr<RegistryKey> takeSubkey(std::string_view name);
    // Inserts a detached key; an existing key of the same name is replaced.
    void adoptSubkey(std::unique_ptr<RegistryKey> key);
    const SubkeyMap& subkeys() const { return subkeys_; }

    // The default value has the empty name.
    const RegistryValue* value(std::string_view name) const;
    // An existing value keeps the spelling of its name.
    void setValue(std::string_view name, RegistryValue value);
    bool removeValue(std::string_view name);
    const ValueMap& values() const { return values_; }
    // A value the file holds in a form we cannot read (an unknown type, say) is there, empty
    // and of no type, as Wine has it; its line is written back as it was until the value is
    // set or removed.
    void setUnreadValue(std::string_view name, std::string line);
    const std::string* unreadLine(std::string_view valueName) const;

    // Attributes a hive file carries.
    bool isVolatile = false;
    bool isLink = false;  // a symbolic link; its target is the REG_LINK value SymbolicLinkValue
    std::optional<std::string> className;
    std::optional<std::uint64_t> seconds;   // modification, Unix seconds ("[key] 1700000000")
    std::optional<std::uint64_t> fileTime;  // modification, FILETIME ("#time=...")
    // A line kept verbatim: an option or comment we do not interpret, or a line we cannot
    // read. It is written back before the value it came before (`beforeValue` counts the
    // values above it), after the last value when fewer are left.
    struct KeptLine {
        std::size_t beforeValue = 0;
        std::string text;
        bool operator==(const KeptLine&) const = default;
    };
    std::vector<KeptLine> keptLines;

    // Records a change now (both time stamps).
    void touch();

  private:
    void forgetUnreadLine(std::string_view name);

    std::string name_;
    SubkeyMap subkeys_;
    ValueMap values_;
    std::map<std::string, std::string, RegistryNameLess> unreadLines_;
};

}  // namespace kestrel::platform
