#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "ops/Operation.h"
#include "plan/SectionReader.h"
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

    // How ODBC sections are read. Per-user parts do only user data sources, workstation
    // installations every kind but those; the others are passed over.
    SectionReading reading();

  private:
    std::optional<PlanStep> readSection(std::string_view section, Direction direction);
    // Once a run, before the first installation: the installer library must be recent enough.
    bool versionAccepted();

    SystemServices& services_;
    std::uint64_t installerVersion_;
    bool versionChecked_ = false;
};

}  // namespace kestrel::setup
