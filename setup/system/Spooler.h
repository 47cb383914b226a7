#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/OperationContext.h"
#include "platform/Expected.h"

namespace kestrel::setup {

// Printer attribute bits the spooler itself acts on.
inline constexpr std::uint32_t kPrinterAttributeDefault = 0x4;

struct PrinterDriverInfo {
    std::string name;
    std::uint32_t version = 0;
    // As the caller names them: bare names lie in the printer driver directory.
    std::string driverFile, dataFile, configFile, helpFile;
    std::vector<std::string> dependentFiles;
    std::string monitor, defaultDataType;
};

struct PrinterInfo {
    std::string name, shareName, port, driver, processor = "WinPrint", dataType = "RAW";
    std::string comment, location, separatorFile, parameters;
    std::uint32_t attributes = 0, priority = 0, defaultPriority = 0, startTime = 0, untilTime = 0;
};

// The root's print spooler, kept where Windows' spooler keeps its state, so that Wine's
// spooler and the programs in the prefix see the printers: the machine's
// System\CurrentControlSet\Control\Print (Monitors, Providers, Printers, and per environment
// Drivers and Print Processors), the ports of the local monitor under Windows NT's
// CurrentVersion\Ports, driver files in the spool driver directory, and the user's printer
// list and default printer in Win.ini's devices, PrinterPorts and windows sections (on NT
// roots the user's registry keys that stand for them). Each call answers as the spooler
// function of the same name: nothing, or the Windows error code, with nothing changed.
class Spooler {
  public:
    using Result = platform::Expected<void, std::uint32_t>;

    explicit Spooler(OperationContext& context) : context_(context) {}

    // An empty environment is the root's own (rootPrintEnvironment).
    Result addMonitor(std::string_view environment, std::string_view name,
                      std::string_view library);
    // Deletes the monitor's library too.
    Result deleteMonitor(std::string_view environment, std::string_view name);
    // The monitor's dialog, which names the new port; nullopt when the person cancelled.
    using PortDialog = std::function<std::optional<std::string>()>;
    // Adds the port the monitor's dialog names: one of the local monitor ("Local Port",
    // always there) goes where that monitor keeps its ports (CurrentVersion\Ports), one of
    // another monitor below that monitor's key (Monitors\<name>\Ports\<port>). A port that
    // exists under any monitor: 183; the dialog cancelled: 1223.
    Result addPort(std::string_view monitor, const PortDialog& dialog);
    // Whichever monitor has it.
    Result deletePort(std::string_view port);
    // Copies the driver's files into the driver directory of its environment and version.
    Result addPrinterDriver(std::string_view environment, const PrinterDriverInfo& driver);
    // Deletes the files no other driver of that directory uses.
    Result deletePrinterDriver(std::string_view environment, std::string_view name);
    // The processor's file must lie in the print processor directory.
    Result addPrintProcessor(std::string_view environment, std::string_view name,
                             std::string_view file);
    Result deletePrintProcessor(std::string_view environment, std::string_view name);
    Result addPrintProvider(std::string_view name, std::string_view library);
    Result deletePrintProvider(std::string_view name);

    // With kPrinterAttributeDefault the printer becomes the user's default.
    Result addPrinter(const PrinterInfo& printer);
    // The default printer's place goes to another printer, if there is one.
    Result deletePrinter(std::string_view name);
    // "\\server\printer"; NT roots only.
    Result addPrinterConnection(std::string_view printer);
    Result deletePrinterConnection(std::string_view printer);
    std::vector<std::string> printers() const;
    std::vector<std::string> connections() const;

  private:
    struct Environment {
        std::string name;
        std::string driversKey;     // where its drivers of `version` are kept
        std::string driverFolder;   // where their files go
        std::string processorsKey;  // its print processors
        std::string processorFolder;
    };
    std::optional<Environment> environment(std::string_view name, std::uint32_t version) const;
    // A library as the spooler loads it: a path as given, a bare name from its system folder.
    std::optional<std::string> library(std::string_view name) const;
    // Where the port is kept: its own key below another monitor, or empty for one of the
    // built-in monitor's ports; nullopt for none.
    struct PortPlace {
        std::string monitorKey;
    };
    std::optional<PortPlace> findPort(std::string_view port) const;
    // The built-in monitor's ports are Win.ini's [Ports]: the file on 95/98, on NT the
    // machine's registry key that the file's section is mapped to.
    bool hasLocalPort(std::string_view port) const;
    long setLocalPort(std::string_view port, bool present);
    // Whether a driver of that name exists in any version of the environment.
    bool driverExists(std::string_view name) const;
    std::string devicesEntry(std::string_view port) const;
    void makeDefault(std::string_view printer, std::string_view port);
    void replaceDefault(std::string_view deleted);

    // The user's printer sections of Win.ini: the file on 95/98, its registry keys on NT.
    std::optional<std::string> profileValue(std::string_view section, std::string_view key) const;
    // Whether the change was written.
    bool setProfileValue(std::string_view section, std::string_view key,
                         std::optional<std::string_view> value);

    OperationContext& context_;
};

}  // namespace kestrel::setup
