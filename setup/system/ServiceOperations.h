#pragma once

#include <cstdint>
#include <string_view>

#include "commands/SystemCommands.h"
#include "copy/CopyServices.h"
#include "platform/Expected.h"
#include "system/SecurityOperations.h"
#include "system/SystemServices.h"

namespace kestrel::setup {

// Services in the service manager's registry layout of the root and event sources under
// EventLog: installed and removed with the files flagged SERVICE, and through the service
// and event-source commands.
class ServiceOperations {
  public:
    ServiceOperations(SystemServices& services, SecurityOperations& security)
        : services_(services), security_(security) {}

    // AddService, DeleteService, RemoveService, StartService, StopService, AddEventSource,
    // RemoveEventSource. The error is the Windows system error code.
    platform::Expected<void, std::uint32_t> run(commands::SystemCommand command,
                                                std::string_view argument);
    // A SERVICE file: its [Services] definition installed or removed. false when the person
    // cancelled in a message about a failure.
    bool installService(const copy::InstalledFile& file);
    bool removeService(const copy::InstalledFile& file);

  private:
    SystemServices& services_;
    SecurityOperations& security_;
};

}  // namespace kestrel::setup
