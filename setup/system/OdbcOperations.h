#pragma once

#include <string_view>

#include "ops/Operation.h"
#include "system/SystemServices.h"

namespace kestrel::setup {

// ODBC sections (drivers, translators, user, system and file data sources) in the layout the
// Windows ODBC installer keeps.
class OdbcOperations {
  public:
    explicit OdbcOperations(SystemServices& services) : services_(services) {}

    // One section; false when it failed or the person cancelled.
    bool processSection(std::string_view section, Direction direction);

  private:
    SystemServices& services_;
};

}  // namespace kestrel::setup
