// The printing, service and event-source commands of a script, and what carries them out.
#pragma once

#include <cstdint>
#include <string_view>

#include "commands/Command.h"
#include "platform/Expected.h"

namespace kestrel::setup::commands {

enum class SystemCommand {
    AddEventSource,
    RemoveEventSource,
    AddMonitor,
    AddPort,
    AddPrinterDriver,
    AddPrintProcessor,
    AddPrintProvider,
    AddPrinter,
    AddPrinterConnection,
    AddService,
    RemoveService,
    DeleteAllPrinters,
    DeleteMonitor,
    DeletePort,
    DeletePrinter,
    DeletePrinterConnection,
    DeletePrinterDriver,
    DeletePrintProcessor,
    DeletePrintProvider,
    DeleteService,
    StartService,
    StopService,
};

// Carries out one command on the machine root. The error is the Windows system error code.
class SystemCommands {
  public:
    virtual ~SystemCommands() = default;
    // `argument` is the rest of the line (the event source's name for the event-source
    // commands).
    [[nodiscard]] virtual platform::Expected<void, std::uint32_t> run(
        SystemCommand command, std::string_view argument, OperationContext& context) = 0;
};

// Until the system operations exist on the root, every command fails with 50 ("The request
// is not supported."), so a script never takes a printer or service for installed.
class UnsupportedSystemCommands final : public SystemCommands {
  public:
    platform::Expected<void, std::uint32_t> run(SystemCommand command, std::string_view argument,
                                                OperationContext& context) override;
};

// The text the system gives for an error code ("The request is not supported."), for the
// messages that show it; the number alone for codes without a known text.
std::string systemErrorText(std::uint32_t error);

// Adds the words of these commands to the table, each carried out through `system`.
void registerSystemCommands(CommandTable& table, SystemCommands& system);

}  // namespace kestrel::setup::commands
