#include "commands/SystemCommands.h"

#include <array>
#include <optional>
#include <string>

#include "messages/MessageStrings.h"

namespace kestrel::setup::commands {

namespace {

constexpr std::uint32_t kErrorNotSupported = 50;

struct SystemWord {
    std::string_view word;
    SystemCommand command;
    // What a line without `-` does at uninstallation, if anything.
    std::optional<SystemCommand> counterpart = std::nullopt;
    bool needsArgument = true;
};

constexpr std::array<SystemWord, 19> kWords{{
    {"AddEventSource", SystemCommand::AddEventSource, SystemCommand::RemoveEventSource},
    {"AddMonitor", SystemCommand::AddMonitor},
    {"AddPort", SystemCommand::AddPort},
    {"AddPrinterDriver", SystemCommand::AddPrinterDriver},
    {"AddPrintProcessor", SystemCommand::AddPrintProcessor},
    {"AddPrintProvider", SystemCommand::AddPrintProvider},
    {"AddPrinter", SystemCommand::AddPrinter, SystemCommand::DeletePrinter},
    {"AddPrinterConnection", SystemCommand::AddPrinterConnection,
     SystemCommand::DeletePrinterConnection},
    {"DeleteAllPrinters", SystemCommand::DeleteAllPrinters, std::nullopt, false},
    {"DeleteMonitor", SystemCommand::DeleteMonitor},
    {"DeletePort", SystemCommand::DeletePort},
    {"DeletePrinter", SystemCommand::DeletePrinter},
    {"DeletePrinterConnection", SystemCommand::DeletePrinterConnection},
    {"DeletePrinterDriver", SystemCommand::DeletePrinterDriver},
    {"DeletePrintProcessor", SystemCommand::DeletePrintProcessor},
    {"DeletePrintProvider", SystemCommand::DeletePrintProvider},
    {"DeleteService", SystemCommand::DeleteService},
    {"StartService", SystemCommand::StartService},
    {"StopService", SystemCommand::StopService},
}};

// Ignore goes on with the next line, Cancel stops.
bool carryOut(SystemCommands& system, SystemCommand command, CommandCall& call) {
    const auto done = system.run(command, call.line.rest, call.context);
    if (done) return true;
    return call.context.messages.show(messages::kPrinterComponentFailed,
                                      {systemErrorText(done.error())}) == buttons::kIgnore;
}

}  // namespace

platform::Expected<void, std::uint32_t> UnsupportedSystemCommands::run(SystemCommand,
                                                                       std::string_view,
                                                                       OperationContext&) {
    return platform::unexpected(kErrorNotSupported);
}

std::string systemErrorText(std::uint32_t error) {
    switch (error) {
        case 2:
            return "The system cannot find the file specified.";
        case 3:
            return "The system cannot find the path specified.";
        case 5:
            return "Access is denied.";
        case 8:
            return "Not enough memory resources are available to process this command.";
        case kErrorNotSupported:
            return "The request is not supported.";
        case 87:
            return "The parameter is incorrect.";
        case 123:
            return "The filename, directory name, or volume label syntax is incorrect.";
        case 1053:
            return "The service did not respond to the start or control request in a timely "
                   "fashion.";
        case 1060:
            return "The specified service does not exist as an installed service.";
        case 1223:
            return "The operation was canceled by the user.";
        case 1722:
            return "The RPC server is unavailable.";
        case 126:
            return "The specified module could not be found.";
        case 1168:
            return "Element not found.";
        case 1796:
            return "The specified port is unknown.";
        case 1797:
            return "The printer driver is unknown.";
        case 1798:
            return "The print processor is unknown.";
        case 1801:
            return "The printer name is invalid.";
        case 1805:
            return "The environment specified is invalid.";
        case 3000:
            return "The specified print monitor is unknown.";
        default:
            return "Error " + std::to_string(error);
    }
}

void registerSystemCommands(CommandTable& table, SystemCommands& system) {
    for (const SystemWord& word : kWords) {
        CommandSpec spec;
        spec.needsArgument = word.needsArgument;
        spec.hasCounterpart = word.counterpart.has_value();
        spec.handler = [&system, word](CommandCall& call) {
            const bool eventSource = word.command == SystemCommand::AddEventSource;
            // Event sources exist on Windows NT only; elsewhere the line does nothing.
            if (eventSource && !call.context.registry.machine().windowsVersion().isNT())
                return true;
            return carryOut(system, call.undo ? *word.counterpart : word.command, call);
        };
        table.add(word.word, std::move(spec));
    }
    // Installing a service runs whatever the line's marker says; uninstalling removes it.
    CommandSpec service;
    service.needsArgument = true;
    service.bothDirections = true;
    service.handler = [&system](CommandCall& call) {
        return carryOut(system,
                        call.direction == Direction::Uninstall ? SystemCommand::RemoveService
                                                               : SystemCommand::AddService,
                        call);
    };
    table.add("AddService", std::move(service));
}

}  // namespace kestrel::setup::commands
