#pragma once

#include "copy/DiskPrompt.h"
#include "platform/MachineRoot.h"
#include "wizard/PageHost.h"

namespace kestrel::setup::copy {

// Asks for a disk on the wizard's DISK page: the disk's label and the directory where the
// file is looked for, which the person may change. The page comes back until the file is in
// the directory given, or the person skips (where the request allows it) or cancels. A silent
// run asks nothing: the file is missing.
class WizardDiskPrompt : public DiskPrompt {
  public:
    WizardDiskPrompt(PageHost& pages, const platform::MachineRoot& machine, bool silent)
        : pages_(pages), machine_(machine), silent_(silent) {}

    [[nodiscard]] DiskAnswer askFor(const DiskRequest& request) override;

  private:
    PageHost& pages_;
    const platform::MachineRoot& machine_;
    bool silent_;
};

}  // namespace kestrel::setup::copy
