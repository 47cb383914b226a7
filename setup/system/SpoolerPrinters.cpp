#include "platform/AsciiCase.h"
#include "platform/ProfileFunctions.h"
#include "system/CreatedEntries.h"
#include "system/Spooler.h"
#include "system/SpoolerKeys.h"
#include "system/SystemRegistry.h"

namespace kestrel::setup {

namespace {

using platform::RegistryRoot;
using namespace spooler;  // its keys and error codes

constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

constexpr std::string_view kConnectionsKey = "Printers\\Connections";
// Where Windows NT keeps what Win.ini's sections held on 95/98 (its IniFileMapping).
constexpr std::string_view kUserPrintingKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";

// Win.ini's section and key as the NT registry names them: "windows" "device" is the key
// Windows' value Device, a printer's name stays as it is.
std::string registryName(std::string_view name) {
    std::string text(name);
    if (!text.empty()) text[0] = platform::asciiUpper(text[0]);
    return text;
}

// "\\server\printer" is kept as the key ",,server,printer".
std::string connectionKey(std::string_view printer) {
    std::string name(printer);
    std::replace(name.begin(), name.end(), '\\', ',');
    return child(kConnectionsKey, name);
}

bool isConnectionName(std::string_view printer) {
    if (printer.size() < 5 || printer.substr(0, 2) != "\\\\") return false;
    const std::size_t slash = printer.find('\\', 2);
    return slash != std::string_view::npos && slash > 2 && slash + 1 < printer.size() &&
           printer.find('\\', slash + 1) == std::string_view::npos;
}

std::string firstField(std::string_view text) {
    return std::string(text.substr(0, text.find(',')));
}

}  // namespace

std::vector<std::string> Spooler::printers() const {
    std::vector<std::string> names;
    (void)context_.registry.subkeyNames(kMachine, printKey("Printers"), &names);
    return names;
}

std::vector<std::string> Spooler::connections() const {
    std::vector<std::string> names;
    if (!context_.registry.machine().windowsVersion().isNT()) return names;
    (void)context_.registry.subkeyNames(kUser, kConnectionsKey, &names);
    for (std::string& name : names) std::replace(name.begin(), name.end(), ',', '\\');
    return names;
}

std::optional<std::string> Spooler::profileValue(std::string_view section,
                                                 std::string_view key) const {
    platform::MachineRoot& machine = context_.registry.machine();
    if (machine.windowsVersion().isNT())
        return readString(context_.registry, kUser, child(kUserPrintingKey, registryName(section)),
                          key);
    const std::string value =
        platform::getProfileString(machine.profileFile("win.ini"), section, key, "\x01", 256);
    if (value == "\x01") return std::nullopt;
    return value;
}

bool Spooler::setProfileValue(std::string_view section, std::string_view key,
                              std::optional<std::string_view> value) {
    platform::MachineRoot& machine = context_.registry.machine();
    if (machine.windowsVersion().isNT()) {
        const std::string sectionKey = child(kUserPrintingKey, registryName(section));
        const std::string name = section == "windows" ? registryName(key) : std::string(key);
        if (value) return context_.registry.writeString(kUser, sectionKey, name, *value) == 0;
        (void)context_.registry.deleteValue(kUser, sectionKey, name);
        if (context_.registry.isEmptyKey(kUser, sectionKey))
            (void)context_.registry.removeEmptyKeys(kUser, sectionKey);
        return true;
    }
    return platform::editProfile(machine.profileFile("win.ini"),
                                 [&](platform::ProfileDocument& document) {
                                     if (value) return document.set(section, key, *value);
                                     (void)document.remove(section, key);
                                     (void)document.removeEmptySection(section);
                                     return true;
                                 });
}

std::string Spooler::devicesEntry(std::string_view port) const {
    return "winspool," + std::string(port);
}

void Spooler::makeDefault(std::string_view printer, std::string_view port) {
    setProfileValue("windows", "device", std::string(printer) + "," + devicesEntry(port));
}

// A printer that goes leaves the default to the first one still there, or to none.
void Spooler::replaceDefault(std::string_view deleted) {
    const std::optional<std::string> current = profileValue("windows", "device");
    if (!current || !platform::equalsIgnoreAsciiCase(firstField(*current), deleted)) return;
    std::vector<std::string> remaining = printers();
    const std::vector<std::string> connected = connections();
    remaining.insert(remaining.end(), connected.begin(), connected.end());
    for (const std::string& other : remaining) {
        if (const auto entry = profileValue("devices", other)) {
            setProfileValue("windows", "device", other + "," + *entry);
            return;
        }
    }
    setProfileValue("windows", "device", std::nullopt);
}

Spooler::Result Spooler::addPrinter(const PrinterInfo& printer) {
    if (printer.name.empty() || printer.name.find_first_of("\\,") != std::string::npos)
        return fail(kInvalidPrinterName);
    const std::string key = printKey("Printers\\" + printer.name);
    RegistryServices& registry = context_.registry;
    if (registry.keyExists(kMachine, key)) return fail(kPrinterExists);
    if (printer.port.empty()) return fail(kUnknownPort);
    if (!driverExists(printer.driver)) return fail(kUnknownDriver);
    const auto current = environment({}, 0);
    if (!platform::equalsIgnoreAsciiCase(printer.processor, "WinPrint") &&
        !(current &&
          registry.keyExists(kMachine, child(current->processorsKey, printer.processor))))
        return fail(kUnknownProcessor);

    const std::pair<std::string_view, const std::string&> texts[] = {
        {"Name", printer.name},
        {"Share Name", printer.shareName},
        {"Port", printer.port},
        {"Printer Driver", printer.driver},
        {"Print Processor", printer.processor},
        {"Datatype", printer.dataType},
        {"Parameters", printer.parameters},
        {"Description", printer.comment},
        {"Location", printer.location},
        {"Separator File", printer.separatorFile},
    };
    const std::pair<std::string_view, std::uint32_t> numbers[] = {
        {"Attributes", printer.attributes},
        {"Priority", printer.priority},
        {"Default Priority", printer.defaultPriority},
        {"StartTime", printer.startTime},
        {"UntilTime", printer.untilTime},
        {"Status", 0},
    };
    CreatedEntries(registry, kMachine).noteMissingParents(key, kPrintParentKey);
    for (const auto& [name, text] : texts) {
        if (registry.writeString(kMachine, key, name, text) != 0) return fail(kInvalidParameter);
    }
    for (const auto& [name, number] : numbers) {
        if (writeDword(registry, kMachine, key, name, number) != 0) return fail(kInvalidParameter);
    }
    setProfileValue("devices", printer.name, devicesEntry(printer.port));
    setProfileValue("PrinterPorts", printer.name, devicesEntry(printer.port) + ",15,45");
    if (printer.attributes & kPrinterAttributeDefault) makeDefault(printer.name, printer.port);
    return {};
}

Spooler::Result Spooler::deletePrinter(std::string_view name) {
    const std::string key = printKey("Printers\\" + std::string(name));
    RegistryServices& registry = context_.registry;
    if (name.empty() || !registry.keyExists(kMachine, key)) return fail(kInvalidPrinterName);
    (void)CreatedEntries(registry, kMachine).deleteTree(key);
    setProfileValue("devices", name, std::nullopt);
    setProfileValue("PrinterPorts", name, std::nullopt);
    replaceDefault(name);
    return {};
}

Spooler::Result Spooler::addPrinterConnection(std::string_view printer) {
    if (!context_.registry.machine().windowsVersion().isNT()) return fail(kNotSupported);
    if (!isConnectionName(printer)) return fail(kInvalidPrinterName);
    const std::string key = connectionKey(printer);
    const std::string server(printer.substr(0, printer.find('\\', 2)));
    // The user's Printers key is the system's once there; one made here goes again.
    CreatedEntries(context_.registry, kUser).noteMissingParents(key, "");
    if (context_.registry.writeString(kUser, key, "Server", server) != 0 ||
        context_.registry.writeString(kUser, key, "Provider", "win32spl.dll") != 0)
        return fail(kInvalidParameter);
    return {};
}

Spooler::Result Spooler::deletePrinterConnection(std::string_view printer) {
    if (!context_.registry.machine().windowsVersion().isNT()) return fail(kNotSupported);
    const std::string key = connectionKey(printer);
    if (!isConnectionName(printer) || !context_.registry.keyExists(kUser, key))
        return fail(kInvalidPrinterName);
    (void)CreatedEntries(context_.registry, kUser).deleteTree(key);
    replaceDefault(printer);
    return {};
}

}  // namespace kestrel::setup
