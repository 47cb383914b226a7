#pragma once

#include "copy/CopyServices.h"
#include "platform/MachineRoot.h"
#include "script/RunState.h"

namespace kestrel::setup::copy {

// Files in use on the machine root: held by a process (platform/FilesInUse.h), replaced or
// deleted at the root's next start (platform/RestartOperations.h); each operation scheduled
// sets the run's restart flag, so the end of the run offers the restart.
class MachineInUseFiles final : public InUseFiles {
  public:
    MachineInUseFiles(platform::MachineRoot& machine, RunState& run)
        : machine_(machine), run_(run) {}

    bool inUse(const std::filesystem::path& host) override;
    bool scheduleAtRestart(const std::string& from, const std::optional<std::string>& to) override;

  private:
    platform::MachineRoot& machine_;
    RunState& run_;
};

}  // namespace kestrel::setup::copy
