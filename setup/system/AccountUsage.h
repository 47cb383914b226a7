#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ops/OperationContext.h"

namespace kestrel::setup {

// How many installations use an account object they created, so that the last
// uninstallation alone deletes it: REG_DWORD values under HKEY_LOCAL_MACHINE
// "Software\UsageCount\Setup\<kind>", named by the object. Kinds: "LocalGroup" and
// "LocalUser" (valued by group or user name), "LocalGroup\<group>" (by member) and
// "Privilege\<right>" (by account). Keys left empty are removed.
class AccountUsage {
  public:
    static constexpr std::string_view kKey = "Software\\UsageCount\\Setup";

    explicit AccountUsage(OperationContext& context) : context_(context) {}

    // An installation that added (or found) the object: a new count starts at 1, or at 2
    // for an object that existed before, which then outlives every uninstallation. Repeat
    // and new-instance runs count nothing again, as the sections they run are not counted
    // again either.
    void countAdd(std::string_view kind, std::string_view name, bool existedBefore);
    // An uninstallation: one use less. True when that was the last one (the count is gone)
    // and the object is to be deleted; false when others still use it or it was never
    // counted.
    bool countRemove(std::string_view kind, std::string_view name);
    std::optional<std::uint32_t> count(std::string_view kind, std::string_view name) const;

  private:
    void store(std::string_view kind, std::string_view name, std::uint32_t count);

    OperationContext& context_;
};

}  // namespace kestrel::setup
