#pragma once

#include <optional>
#include <string_view>

#include "ops/OperationContext.h"

namespace kestrel::setup {

// How many installations use a section (registry, INI, CONFIG.SYS, batch file, TCP/IP,
// security and ODBC sections), so that a shared section is applied once and undone by the
// last uninstallation only. Kept as string values under the key
// Software\<MachineKeyName>\Setup\Sections (machine, or the user's hive in a per-user part);
// not counted in administrator installations or without a MachineKeyName.
class SectionUsage {
  public:
    explicit SectionUsage(OperationContext& context) : context_(context) {}

    bool active() const;
    // Installation adds one (not in repeat and new-instance runs); the section is always
    // processed.
    void countInstall(std::string_view section);
    // Uninstallation takes one off (never below 0); true when the count is 0 and the section
    // is to be undone.
    bool countUninstall(std::string_view section);
    // The registered count (0 when there is none); nullopt when counting is off.
    std::optional<int> count(std::string_view section) const;
    // A section an earlier installation already applied, so its operation undoes what it
    // left before applying it again: the registered count begins with the digit 1, or the run
    // is a service release. Read before this run counts its own use.
    bool doneBefore(std::string_view section) const;

  private:
    void store(std::string_view section, int count);

    OperationContext& context_;
};

}  // namespace kestrel::setup
