#include "system/PrintOperations.h"

#include <vector>

#include "messages/MessageStrings.h"
#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"
#include "script/Fields.h"
#include "system/Spooler.h"
#include "system/SpoolerKeys.h"

namespace kestrel::setup {

namespace {

using commands::SystemCommand;

using namespace spooler;  // its error codes

constexpr std::uint32_t kServerUnavailable = 1722;

const std::vector<FlagName> kPrinterAttributes = {
    {"DEFAULT", 0x4},
    {"DIRECT", 0x2},
    {"DO_COMPLETE_FIRST", 0x200},
    {"ENABLE_BIDI", 0x800},
    {"ENABLE_DEVQ", 0x80},
    {"NETWORK", 0x10},
    {"KEEPPRINTEDJOBS", 0x100},
    {"HIDDEN", 0x20},
    {"LOCAL", 0x40},
    {"QUEUED", 0x1},
    {"SHARED", 0x8},
    {"WORK_OFFLINE", 0x400},
};

// The argument text as its fields, blanks around each removed; a leading '(' is no part of
// the first, and its closing ')' no part of the last.
std::vector<std::string> fieldsOf(std::string_view argument) {
    const std::size_t begin = argument.find_first_not_of(" \t");
    argument.remove_prefix(std::min(begin, argument.size()));
    if (!argument.empty() && argument.front() == '(') {
        argument.remove_prefix(1);
        const std::size_t end = argument.find_last_not_of(" \t");
        if (end != std::string_view::npos && argument[end] == ')')
            argument = argument.substr(0, end);
    }
    std::vector<std::string> fields = splitFields(argument, 8192);
    for (std::string& field : fields) {
        const std::size_t last = field.find_last_not_of(" \t");
        field.erase(last == std::string::npos ? 0 : last + 1);
    }
    return fields;
}

class Fields {
  public:
    explicit Fields(std::vector<std::string> fields) : fields_(std::move(fields)) {}
    std::string operator[](std::size_t index) const {
        return index < fields_.size() ? fields_[index] : std::string();
    }
    std::string orDefault(std::size_t index, std::string_view fallback) const {
        const std::string text = (*this)[index];
        return text.empty() ? std::string(fallback) : text;
    }
    std::uint32_t number(std::size_t index) const {
        return static_cast<std::uint32_t>(readNumber((*this)[index]));
    }
    std::vector<std::string> list(std::size_t index) const {
        std::vector<std::string> items;
        const std::string text = (*this)[index];
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = std::min(text.find(';', start), text.size());
            const std::string_view item =
                platform::trimBlanks(std::string_view(text).substr(start, end - start));
            if (!item.empty()) items.emplace_back(item);
            start = end + 1;
        }
        return items;
    }

  private:
    std::vector<std::string> fields_;
};

// Codes that mean what the command wanted is already there.
bool alsoSuccess(SystemCommand command, std::uint32_t error) {
    switch (command) {
        case SystemCommand::AddMonitor:
            return error == kAlreadyExists || error == kMonitorAlreadyInstalled;
        case SystemCommand::AddPort:
        case SystemCommand::AddPrintProvider:
            return error == kAlreadyExists;
        case SystemCommand::AddPrinter:
            return error == kPrinterExists;
        case SystemCommand::AddPrinterConnection:
            return true;  // a connection is a convenience; it fails quietly
        case SystemCommand::AddPrinterDriver:
            return error == kDriverAlreadyInstalled;
        case SystemCommand::AddPrintProcessor:
            return error == kAlreadyExists || error == kProcessorAlreadyInstalled;
        case SystemCommand::DeletePrinter:
        case SystemCommand::DeletePrinterDriver:
            return error == kDriverInUse;
        default:
            return false;
    }
}

// Where the command's server field is, if it has one.
std::optional<std::size_t> serverField(SystemCommand command) {
    switch (command) {
        case SystemCommand::AddPrinterConnection:
        case SystemCommand::DeletePrinterConnection:
            return std::nullopt;
        default:
            return 0;
    }
}

Spooler::Result deleteAllPrinters(Spooler& spooler) {
    for (const std::string& printer : spooler.printers()) {
        if (auto deleted = spooler.deletePrinter(printer);
            !deleted && deleted.error() != kDriverInUse)
            return deleted;
    }
    for (const std::string& connection : spooler.connections()) {
        if (auto deleted = spooler.deletePrinterConnection(connection); !deleted) return deleted;
    }
    return {};
}

// The monitor's dialog for a new port, over the installer's window; a silent run asks nobody
// and so adds no port.
Spooler::PortDialog portDialog(OperationContext& context, const std::string& monitor) {
    return [&context, monitor]() -> std::optional<std::string> {
        if (context.run.silent) return std::nullopt;
        return context.ui().askText({monitor, "Enter a port name:", ""});
    };
}

Spooler::Result carryOut(Spooler& spooler, SystemCommand command, const Fields& f,
                         OperationContext& context) {
    switch (command) {
        case SystemCommand::AddMonitor:
            return spooler.addMonitor(f[1], f[2], f[3]);
        case SystemCommand::DeleteMonitor:
            return spooler.deleteMonitor(f[1], f[2]);
        case SystemCommand::AddPort:
            return spooler.addPort(f[1], portDialog(context, f[1]));
        case SystemCommand::DeletePort:
            return spooler.deletePort(f[1]);
        case SystemCommand::AddPrinterDriver: {
            PrinterDriverInfo driver{
                f[2], readDecimalOrHex(f[3]), f[4], f[5], f[6], f[7], f.list(8), f[9], f[10]};
            return spooler.addPrinterDriver(f[1], driver);
        }
        case SystemCommand::DeletePrinterDriver:
            return spooler.deletePrinterDriver(f[1], f[2]);
        case SystemCommand::AddPrintProcessor:
            return spooler.addPrintProcessor(f[1], f[2], f[3]);
        case SystemCommand::DeletePrintProcessor:
            return spooler.deletePrintProcessor(f[1], f[2]);
        case SystemCommand::AddPrintProvider:
            return spooler.addPrintProvider(f[2], f[3]);
        case SystemCommand::DeletePrintProvider:
            return spooler.deletePrintProvider(f[2]);
        case SystemCommand::AddPrinter: {
            const auto attributes = parseFlags(f[6], kPrinterAttributes);
            if (!attributes) {
                // Said as the script's fault it is; the printer is not added.
                context.messages.show(messages::kIncorrectFlags, {attributes.error()});
                return {};
            }
            PrinterInfo printer;
            printer.name = f[1];
            printer.port = f[2];
            printer.driver = f[3];
            printer.processor = f.orDefault(4, "WinPrint");
            printer.dataType = f.orDefault(5, "RAW");
            printer.attributes = *attributes;
            printer.shareName = f[7];
            printer.comment = f[8];
            printer.location = f[9];
            printer.separatorFile = f[10];
            printer.parameters = f[11];
            printer.priority = f.number(12);
            printer.defaultPriority = f.number(13);
            printer.startTime = f.number(14);
            printer.untilTime = f.number(15);
            return spooler.addPrinter(printer);
        }
        case SystemCommand::DeletePrinter:
            return spooler.deletePrinter(f[1]);
        case SystemCommand::AddPrinterConnection:
            return spooler.addPrinterConnection(f[0]);
        case SystemCommand::DeletePrinterConnection:
            return spooler.deletePrinterConnection(f[0]);
        case SystemCommand::DeleteAllPrinters:
            return deleteAllPrinters(spooler);
        default:
            return fail(kInvalidParameter);
    }
}

}  // namespace

platform::Expected<void, std::uint32_t> PrintOperations::run(commands::SystemCommand command,
                                                             std::string_view argument) {
    OperationContext& context = services_.context;
    const Fields fields(fieldsOf(argument));
    // This spooler is the root's own: another computer's cannot be reached from here.
    if (const auto server = serverField(command)) {
        std::string name = fields[*server];
        if (name.starts_with("\\\\")) name.erase(0, 2);
        if (!name.empty() &&
            !platform::equalsIgnoreAsciiCase(name, context.registry.machine().computerName()))
            return platform::unexpected(kServerUnavailable);
    }
    Spooler spooler(context);
    auto done = carryOut(spooler, command, fields, context);
    if (!done && alsoSuccess(command, done.error())) return {};
    return done;
}

}  // namespace kestrel::setup
