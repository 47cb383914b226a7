#pragma once

#include <cstdint>
#include <string_view>

#include "ops/Operation.h"
#include "system/OdbcInstaller.h"
#include "system/SystemServices.h"

namespace kestrel::setup {

// ODBC sections (drivers, translators, user, system and file data sources) in the layout the
// Windows ODBC installer keeps.
class OdbcOperations {
  public:
    // `installerVersion`: what the root's ODBC installer library reports as its version.
    explicit OdbcOperations(SystemServices& services,
                            std::uint64_t installerVersion = OdbcInstaller::kVersion)
        : services_(services), installerVersion_(installerVersion) {}

    // One section; false when it failed or the person cancelled. Per-user parts process only
    // user data sources, workstation installations every kind but those.
    bool processSection(std::string_view section, Direction direction);

  private:
    // Once a run, before the first installation: the installer library must be recent enough.
    bool versionAccepted();

    SystemServices& services_;
    std::uint64_t installerVersion_;
    bool versionChecked_ = false;
};

}  // namespace kestrel::setup
