#pragma once

#include <cstdint>
#include <string_view>

#include "commands/SystemCommands.h"
#include "platform/Expected.h"
#include "system/SystemServices.h"

namespace kestrel::setup {

// The printing commands on the root: monitors, ports, drivers, print processors and
// providers, printers and printer connections in the spooler's registry layout, driver
// files in the spool directory.
class PrintOperations {
  public:
    explicit PrintOperations(SystemServices& services) : services_(services) {}

    // The error is the Windows system error code.
    platform::Expected<void, std::uint32_t> run(commands::SystemCommand command,
                                                std::string_view argument);

  private:
    SystemServices& services_;
};

}  // namespace kestrel::setup
