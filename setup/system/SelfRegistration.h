#pragma once

#include "copy/CopyServices.h"
#include "system/SystemServices.h"

namespace kestrel::setup {

// Self-registration of the files flagged REGISTER (and REGISTER16): programs with
// /REGSERVER, libraries through their registration exports, run in the root through Wine.
class SelfRegistration {
  public:
    explicit SelfRegistration(SystemServices& services) : services_(services) {}

    // false when the person cancelled in a message about a failure.
    bool registerFile(const copy::InstalledFile& file);
    bool unregisterFile(const copy::InstalledFile& file);

  private:
    SystemServices& services_;
};

}  // namespace kestrel::setup
