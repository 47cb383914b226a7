#pragma once

#include <string_view>

#include "ops/Operation.h"
#include "system/SystemServices.h"

namespace kestrel::setup {

// The security commands of the root: local groups and users, privileges and file
// permissions, with the usage counts of what installations create.
class SecurityOperations {
  public:
    explicit SecurityOperations(SystemServices& services) : services_(services) {}

    // A Security section (NT roots only, under the section usage count). false when it failed
    // or the person cancelled.
    bool processSection(std::string_view section, Direction direction);
    // One command line ("LocalUser.Add(...)"), as a service's account commands give it.
    bool runCommand(std::string_view line, Direction direction);

  private:
    SystemServices& services_;
};

}  // namespace kestrel::setup
