#pragma once

#include <memory>
#include <optional>

#include "copy/CopyServices.h"
#include "system/SystemServices.h"
#include "system/WinePrograms.h"

namespace kestrel::setup {

// Self-registration of the files flagged REGISTER (and REGISTER16): programs with
// /REGSERVER, libraries through their registration exports, run in the root through Wine.
class SelfRegistration {
  public:
    // Libraries registered through Wine of the root.
    explicit SelfRegistration(SystemServices& services);
    SelfRegistration(SystemServices& services, WinePrograms& wine);

    // false when the person cancelled in a message about a failure.
    bool registerFile(const copy::InstalledFile& file);
    bool unregisterFile(const copy::InstalledFile& file);

  private:
    bool registration(const copy::InstalledFile& file, bool install);
    // Whether the root's OLE library is new enough for libraries' registration functions;
    // asked once a run, the answer shown once.
    bool oleUpToDate();

    SystemServices& services_;
    std::unique_ptr<WinePrograms> rootWine_;  // when no other Wine was given
    WinePrograms& wine_;
    std::optional<bool> oleUpToDate_;
};

}  // namespace kestrel::setup
