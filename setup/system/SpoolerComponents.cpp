#include <filesystem>

#include "ops/FileChange.h"
#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/JournaledFiles.h"
#include "platform/Places.h"
#include "platform/WindowsPathText.h"
#include "system/CreatedEntries.h"
#include "system/PrintEnvironment.h"
#include "system/Spooler.h"
#include "system/SpoolerKeys.h"
#include "system/SystemRegistry.h"

namespace kestrel::setup {

namespace {

namespace fs = std::filesystem;
using platform::RegistryRoot;
using namespace spooler;  // its keys and error codes

constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;

constexpr std::string_view kDriverFileValues[] = {"Driver", "Data File", "Configuration File",
                                                  "Help File"};

bool hasDirectory(std::string_view path) {
    return path.find_first_of("\\:") != std::string_view::npos;
}

// A driver's files are named bare, by path, or on a drive without one ("A:PSCRIPT.DRV").
std::string fileNameOf(std::string_view path) {
    return std::string(platform::fileNamePart(path, platform::PathSeparators::BackslashOrColon));
}

// The version a driver key below "Drivers" stands for ("Version-3"); 0 for Windows 4.0's.
std::uint32_t versionOf(std::string_view subkey) {
    constexpr std::string_view prefix = "Version-";
    if (subkey.size() <= prefix.size() ||
        !platform::equalsIgnoreAsciiCase(subkey.substr(0, prefix.size()), prefix))
        return 0;
    return static_cast<std::uint32_t>(
        std::strtoul(std::string(subkey.substr(8)).c_str(), nullptr, 10));
}

}  // namespace

std::optional<Spooler::Environment> Spooler::environment(std::string_view name,
                                                         std::uint32_t version) const {
    const platform::MachineRoot& machine = context_.registry.machine();
    const bool nt = machine.windowsVersion().isNT();
    const PrintEnvironment* known =
        name.empty() ? &rootPrintEnvironment(machine) : findPrintEnvironment(name);
    if (known == nullptr) return std::nullopt;
    const bool nineX = known->name == "Windows 4.0";
    if (!nt && !nineX) return std::nullopt;
    Environment found;
    found.name = std::string(known->name);
    const std::string key = printKey("Environments\\" + found.name);
    found.driversKey = key + "\\Drivers";
    found.processorsKey = key + "\\Print Processors";
    if (!nt) {
        // 95/98 keep printing files in the system folder itself.
        found.driverFolder = found.processorFolder = machine.systemDirectory();
        return found;
    }
    if (!nineX) found.driversKey += "\\Version-" + std::to_string(version);
    const std::string spool = spoolDirectory(machine) + "\\";
    found.driverFolder = spool + "drivers\\" + std::string(known->folder) + "\\" +
                         std::to_string(nineX ? 0 : version);
    found.processorFolder = spool + "prtprocs\\" + std::string(known->folder);
    return found;
}

std::optional<std::string> Spooler::library(std::string_view name) const {
    const platform::MachineRoot& machine = context_.registry.machine();
    const std::string path = hasDirectory(name)
                                 ? std::string(name)
                                 : spoolerSystemDirectory(machine) + "\\" + std::string(name);
    const auto host = machine.hostPath(path);
    std::error_code error;
    if (!host || !fs::is_regular_file(*host, error)) return std::nullopt;
    return path;
}

bool Spooler::driverExists(std::string_view name) const {
    const auto current = environment({}, 0);
    if (!current) return false;
    const std::string drivers = printKey("Environments\\" + current->name + "\\Drivers");
    std::vector<std::string> versions;
    if (context_.registry.subkeyNames(kMachine, drivers, &versions) != 0) return false;
    for (const std::string& version : versions) {
        if (platform::equalsIgnoreAsciiCase(version, name) ||
            context_.registry.keyExists(kMachine, child(child(drivers, version), name)))
            return true;
    }
    return false;
}

namespace {

// Copies a file through a temporary name, so a reader never sees half of it.
bool copyFile(const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (fs::exists(to, error) && fs::equivalent(from, to, error)) return true;
    const std::optional<std::string> content = platform::readWholeFile(from);
    return content && !platform::ensureDirectory(to.parent_path()) &&
           !platform::writeFileAtomically(to, *content);
}

// The spooler's structure (its Monitors, the Drivers of an environment, their Version-3...)
// is the system's once there: a key that goes takes along only the parents that were made
// for it.
void noteNewKey(RegistryServices& registry, const std::string& key) {
    CreatedEntries(registry, kMachine).noteMissingParents(key, kPrintParentKey);
}

void deleteKey(RegistryServices& registry, const std::string& key) {
    (void)CreatedEntries(registry, kMachine).deleteTree(key);
}

}  // namespace

Spooler::Result Spooler::addMonitor(std::string_view environmentName, std::string_view name,
                                    std::string_view libraryName) {
    if (!environment(environmentName, 0)) return fail(kInvalidEnvironment);
    if (name.empty() || libraryName.empty()) return fail(kInvalidParameter);
    const std::string key = printKey("Monitors\\" + std::string(name));
    if (context_.registry.keyExists(kMachine, key)) return fail(kMonitorAlreadyInstalled);
    platform::MachineRoot& machine = context_.registry.machine();
    if (!library(libraryName)) {
        // A bare name the system folder does not have comes from the printer driver
        // directory; it goes where the spooler loads monitors from.
        const std::string driverDir(
            platform::withoutTrailingBackslashes(context_.variables.value("PrinterDriverDir")));
        const auto from = machine.hostPath(driverDir + "\\" + std::string(libraryName));
        const auto to =
            machine.hostPath(spoolerSystemDirectory(machine) + "\\" + std::string(libraryName));
        std::error_code error;
        if (hasDirectory(libraryName) || !from || !to || !fs::is_regular_file(*from, error))
            return fail(kModuleNotFound);
        if (!copyFile(*from, *to)) return fail(kModuleNotFound);
    }
    noteNewKey(context_.registry, key);
    if (context_.registry.writeString(kMachine, key, "Driver", libraryName) != 0)
        return fail(kInvalidParameter);
    return {};
}

Spooler::Result Spooler::deleteMonitor(std::string_view environmentName, std::string_view name) {
    if (!environment(environmentName, 0)) return fail(kInvalidEnvironment);
    const std::string key = printKey("Monitors\\" + std::string(name));
    if (name.empty() || !context_.registry.keyExists(kMachine, key)) return fail(kUnknownMonitor);
    const std::optional<std::string> driver =
        readString(context_.registry, kMachine, key, "Driver");
    deleteKey(context_.registry, key);
    const std::optional<std::string> file = driver ? library(*driver) : std::nullopt;
    const auto host = file ? context_.registry.machine().hostPath(*file) : std::nullopt;
    if (host) (void)platform::journaled::removeFile(*host);
    return {};
}

namespace {

bool isLocalMonitor(std::string_view monitor) {
    return platform::equalsIgnoreAsciiCase(monitor, kLocalMonitor);
}

std::string monitorPorts(std::string_view monitor) {
    return printKey("Monitors\\" + std::string(monitor) + "\\Ports");
}

}  // namespace

bool Spooler::hasLocalPort(std::string_view port) const {
    RegistryServices& registry = context_.registry;
    if (!registry.machine().windowsVersion().isNT()) return profileValue("Ports", port).has_value();
    std::string ignored;
    return registry.readText(kMachine, kPortsKey, port, &ignored) == 0;
}

long Spooler::setLocalPort(std::string_view port, bool present) {
    RegistryServices& registry = context_.registry;
    if (!registry.machine().windowsVersion().isNT()) {
        // A section the port was the only one in goes with it, as it came.
        const bool written = setProfileValue(
            "Ports", port, present ? std::optional<std::string_view>("") : std::nullopt);
        return written ? 0 : 1;
    }
    if (present) return registry.writeString(kMachine, kPortsKey, port, "");
    (void)registry.deleteValue(kMachine, kPortsKey, port);
    if (registry.isEmptyKey(kMachine, kPortsKey))
        (void)registry.removeEmptyKeys(kMachine, kPortsKey);
    return 0;
}

std::optional<Spooler::PortPlace> Spooler::findPort(std::string_view port) const {
    if (hasLocalPort(port)) return PortPlace{};
    RegistryServices& registry = context_.registry;
    std::vector<std::string> monitors;
    (void)registry.subkeyNames(kMachine, printKey("Monitors"), &monitors);
    for (const std::string& monitor : monitors) {
        const std::string key = child(monitorPorts(monitor), port);
        if (registry.keyExists(kMachine, key)) return PortPlace{key};
    }
    return std::nullopt;
}

Spooler::Result Spooler::addPort(std::string_view monitor, const PortDialog& dialog) {
    if (monitor.empty() ||
        (!isLocalMonitor(monitor) &&
         !context_.registry.keyExists(kMachine, printKey("Monitors\\" + std::string(monitor)))))
        return fail(kUnknownMonitor);
    const std::optional<std::string> answer = dialog();
    if (!answer) return fail(kCancelled);
    const std::string port(platform::trimBlanks(*answer));
    // A port of another monitor is a key of its own, which a backslash would split.
    if (port.empty() || (!isLocalMonitor(monitor) && port.find('\\') != std::string::npos))
        return fail(kInvalidParameter);
    if (findPort(port)) return fail(kAlreadyExists);
    if (!isLocalMonitor(monitor)) noteNewKey(context_.registry, child(monitorPorts(monitor), port));
    const long written =
        isLocalMonitor(monitor)
            ? setLocalPort(port, true)
            : context_.registry.createKey(kMachine, child(monitorPorts(monitor), port));
    if (written != 0) return fail(kInvalidParameter);
    return {};
}

Spooler::Result Spooler::deletePort(std::string_view port) {
    const std::optional<PortPlace> place = port.empty() ? std::nullopt : findPort(port);
    if (!place) return fail(kUnknownPort);
    if (place->monitorKey.empty()) {
        (void)setLocalPort(port, false);
    } else {
        deleteKey(context_.registry, place->monitorKey);
    }
    return {};
}

Spooler::Result Spooler::addPrinterDriver(std::string_view environmentName,
                                          const PrinterDriverInfo& driver) {
    const std::optional<Environment> target = environment(environmentName, driver.version);
    if (!target) return fail(kInvalidEnvironment);
    if (driver.name.empty() || driver.driverFile.empty() || driver.dataFile.empty() ||
        driver.configFile.empty())
        return fail(kInvalidParameter);
    const std::string key = child(target->driversKey, driver.name);
    if (context_.registry.keyExists(kMachine, key)) return fail(kDriverAlreadyInstalled);

    platform::MachineRoot& machine = context_.registry.machine();
    const std::string driverDir(
        platform::withoutTrailingBackslashes(context_.variables.value("PrinterDriverDir")));
    std::vector<std::string> files = {driver.driverFile, driver.dataFile, driver.configFile,
                                      driver.helpFile};
    files.insert(files.end(), driver.dependentFiles.begin(), driver.dependentFiles.end());
    std::vector<std::pair<fs::path, fs::path>> copies;
    for (const std::string& file : files) {
        if (file.empty()) continue;
        const auto from = machine.hostPath(hasDirectory(file) ? file : driverDir + "\\" + file);
        const auto to = machine.hostPath(target->driverFolder + "\\" + fileNameOf(file));
        std::error_code error;
        if (!from || !to || !fs::is_regular_file(*from, error)) return fail(kFileNotFound);
        copies.emplace_back(*from, *to);
    }
    for (const auto& [from, to] : copies) {
        if (!copyFile(from, to)) return fail(kFileNotFound);
    }

    RegistryServices& registry = context_.registry;
    noteNewKey(registry, key);
    std::vector<std::string> dependents;
    for (const std::string& file : driver.dependentFiles) dependents.push_back(fileNameOf(file));
    const bool written =
        registry.writeString(kMachine, key, "Driver", fileNameOf(driver.driverFile)) == 0 &&
        registry.writeString(kMachine, key, "Data File", fileNameOf(driver.dataFile)) == 0 &&
        registry.writeString(kMachine, key, "Configuration File", fileNameOf(driver.configFile)) ==
            0 &&
        registry.writeString(kMachine, key, "Help File", fileNameOf(driver.helpFile)) == 0 &&
        writeMultiString(registry, kMachine, key, "Dependent Files", dependents) == 0 &&
        registry.writeString(kMachine, key, "Monitor", driver.monitor) == 0 &&
        registry.writeString(kMachine, key, "Datatype", driver.defaultDataType) == 0 &&
        writeDword(registry, kMachine, key, "Version", driver.version) == 0;
    if (!written) return fail(kInvalidParameter);
    return {};
}

Spooler::Result Spooler::deletePrinterDriver(std::string_view environmentName,
                                             std::string_view name) {
    const std::optional<Environment> any = environment(environmentName, 0);
    if (!any) return fail(kInvalidEnvironment);
    // The driver's version is the key it was found under.
    RegistryServices& registry = context_.registry;
    const std::string drivers = printKey("Environments\\" + any->name + "\\Drivers");
    std::optional<Environment> found;
    std::vector<std::string> versions;
    if (registry.subkeyNames(kMachine, drivers, &versions) == 0) {
        for (const std::string& version : versions) {
            const auto candidate = environment(any->name, versionOf(version));
            if (candidate && registry.keyExists(kMachine, child(candidate->driversKey, name))) {
                found = candidate;
                break;
            }
        }
    }
    if (name.empty() || !found) return fail(kUnknownDriver);
    for (const std::string& printer : printers()) {
        const auto uses =
            readString(registry, kMachine, printKey("Printers\\" + printer), "Printer Driver");
        if (uses && platform::equalsIgnoreAsciiCase(*uses, name)) return fail(kDriverInUse);
    }

    // Its files, less those another driver of the same folder names.
    const auto filesOf = [&](const std::string& key) {
        std::vector<std::string> files =
            readMultiString(registry, kMachine, key, "Dependent Files");
        for (std::string_view value : kDriverFileValues) {
            if (auto file = readString(registry, kMachine, key, value); file && !file->empty())
                files.push_back(*file);
        }
        return files;
    };
    std::vector<std::string> files = filesOf(child(found->driversKey, name));
    deleteKey(registry, child(found->driversKey, name));
    std::vector<std::string> others;
    (void)registry.subkeyNames(kMachine, found->driversKey, &others);
    for (const std::string& other : others) {
        for (const std::string& used : filesOf(child(found->driversKey, other))) {
            std::erase_if(files, [&](const std::string& file) {
                return platform::equalsIgnoreAsciiCase(file, used);
            });
        }
    }
    platform::MachineRoot& machine = registry.machine();
    std::optional<fs::path> folder;
    for (const std::string& file : files) {
        const auto host = machine.hostPath(found->driverFolder + "\\" + file);
        if (host) (void)platform::journaled::removeFile(*host);
        if (host) folder = host->parent_path();
    }
    if (folder) removeEmptyFolders(machine, *folder);
    return {};
}

Spooler::Result Spooler::addPrintProcessor(std::string_view environmentName, std::string_view name,
                                           std::string_view file) {
    const std::optional<Environment> target = environment(environmentName, 0);
    if (!target) return fail(kInvalidEnvironment);
    if (name.empty() || file.empty()) return fail(kInvalidParameter);
    const std::string key = child(target->processorsKey, name);
    if (context_.registry.keyExists(kMachine, key)) return fail(kProcessorAlreadyInstalled);
    const auto host =
        context_.registry.machine().hostPath(target->processorFolder + "\\" + fileNameOf(file));
    std::error_code error;
    if (!host || !fs::is_regular_file(*host, error)) return fail(kFileNotFound);
    noteNewKey(context_.registry, key);
    if (context_.registry.writeString(kMachine, key, "Driver", fileNameOf(file)) != 0)
        return fail(kInvalidParameter);
    return {};
}

Spooler::Result Spooler::deletePrintProcessor(std::string_view environmentName,
                                              std::string_view name) {
    const std::optional<Environment> target = environment(environmentName, 0);
    if (!target) return fail(kInvalidEnvironment);
    const std::string key = child(target->processorsKey, name);
    if (name.empty() || !context_.registry.keyExists(kMachine, key)) return fail(kUnknownProcessor);
    deleteKey(context_.registry, key);
    return {};
}

Spooler::Result Spooler::addPrintProvider(std::string_view name, std::string_view libraryName) {
    if (name.empty() || libraryName.empty()) return fail(kInvalidParameter);
    const std::string key = printKey("Providers\\" + std::string(name));
    if (context_.registry.keyExists(kMachine, key)) return fail(kAlreadyExists);
    if (!library(libraryName)) return fail(kModuleNotFound);
    const std::string providers = printKey("Providers");
    std::vector<std::string> order =
        readMultiString(context_.registry, kMachine, providers, "Order");
    order.emplace_back(name);
    noteNewKey(context_.registry, key);
    if (context_.registry.writeString(kMachine, key, "Name", libraryName) != 0 ||
        writeMultiString(context_.registry, kMachine, providers, "Order", order) != 0)
        return fail(kInvalidParameter);
    return {};
}

Spooler::Result Spooler::deletePrintProvider(std::string_view name) {
    const std::string key = printKey("Providers\\" + std::string(name));
    if (name.empty() || !context_.registry.keyExists(kMachine, key)) return fail(kNotFound);
    const std::string providers = printKey("Providers");
    std::vector<std::string> order =
        readMultiString(context_.registry, kMachine, providers, "Order");
    std::erase_if(order, [&](const std::string& entry) {
        return platform::equalsIgnoreAsciiCase(entry, name);
    });
    if (order.empty()) {
        (void)context_.registry.deleteValue(kMachine, providers, "Order");
    } else {
        (void)writeMultiString(context_.registry, kMachine, providers, "Order", order);
    }
    deleteKey(context_.registry, key);
    return {};
}

}  // namespace kestrel::setup
