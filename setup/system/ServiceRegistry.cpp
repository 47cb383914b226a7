#include "system/ServiceRegistry.h"

#include <algorithm>

#include "platform/AsciiCase.h"
#include "platform/CommandLine.h"
#include "platform/WindowsErrors.h"
#include "system/CreatedEntries.h"

namespace kestrel::setup {

namespace {

using platform::RegistryRoot;
constexpr auto kMachine = RegistryRoot::LocalMachine;

const std::string kServicesKey = "System\\CurrentControlSet\\Services";
const std::string kEventLogKey = kServicesKey + "\\EventLog";
const std::string kRunServicesKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr std::size_t kListSize = 65536;

std::string serviceKey(std::string_view name) {
    return kServicesKey + "\\" + std::string(name);
}

// What the service manager accepts: one kind of service (interactive only for a program of
// its own or shared), boot and system start only for drivers, the known start types and
// error controls.
bool validNumbers(const ServiceDefinition& definition) {
    const std::uint32_t kind = definition.type & ~service::kInteractiveProcess;
    const bool oneKind = kind == service::kKernelDriver || kind == service::kFileSystemDriver ||
                         kind == service::kOwnProcess || kind == service::kShareProcess;
    const bool interactiveFits =
        (definition.type & service::kInteractiveProcess) == 0 || !definition.isDriver();
    const bool startFits = definition.start <= service::kDisabled &&
                           (definition.isDriver() || definition.start > service::kSystemStart);
    return oneKind && interactiveFits && startFits &&
           definition.errorControl <= service::kErrorCritical;
}

}  // namespace

bool ServiceRegistry::exists(std::string_view name) const {
    return registry_.keyExists(kMachine, serviceKey(name));
}

long ServiceRegistry::write(const ServiceDefinition& definition, std::string_view program) {
    if (definition.name.empty() || definition.name.find('\\') != std::string::npos) {
        return 123;  // ERROR_INVALID_NAME
    }
    if (!validNumbers(definition)) return platform::kErrorInvalidParameter;
    const std::string key = serviceKey(definition.name);
    if (const long created = registry_.createKey(kMachine, key)) return created;
    std::vector<std::string> services, groups;
    for (const std::string& dependency : definition.dependencies) {
        // The service manager's mark of a load-order group among the dependencies.
        if (dependency.starts_with('+')) {
            groups.push_back(dependency.substr(1));
        } else {
            services.push_back(dependency);
        }
    }
    long error = setNumber(key, "Type", definition.type);
    if (!error) error = setNumber(key, "Start", definition.start);
    if (!error) error = setNumber(key, "ErrorControl", definition.errorControl);
    // Quoted where blanks would make the service manager guess where the program ends.
    if (!error)
        error = setString(key, "ImagePath", platform::kRegExpandSz,
                          platform::joinCommandLine({std::string(program)}));
    if (!error) error = setString(key, "DisplayName", platform::kRegSz, definition.displayName);
    if (!error && !definition.isDriver()) {
        const std::string account = definition.account.empty() ? "LocalSystem" : definition.account;
        error = setString(key, "ObjectName", platform::kRegSz, account);
    }
    if (!error && !definition.group.empty()) {
        error = setString(key, "Group", platform::kRegSz, definition.group);
    }
    if (!error && !services.empty()) error = setList(key, "DependOnService", services);
    if (!error && !groups.empty()) error = setList(key, "DependOnGroup", groups);
    // A 32-bit program's service: Wine's service manager starts it with the 32-bit loader.
    if (!error && registry_.machine().is64Bit() && !definition.isDriver()) {
        error = setNumber(key, "WOW64", 1);
    }
    return error;
}

long ServiceRegistry::remove(std::string_view name) {
    if (!exists(name)) return 0;
    if (const long deleted = registry_.deleteTree(kMachine, serviceKey(name))) return deleted;
    // A root that had no services before has none after.
    return registry_.removeEmptyKeys(kMachine, kServicesKey);
}

long ServiceRegistry::addEventSource(const EventSourceDefinition& source) {
    const std::string logKey = kEventLogKey + "\\" + source.log;
    const std::string key = logKey + "\\" + source.name;
    CreatedEntries made(registry_, kMachine);
    made.noteMissingKeys(logKey, kEventLogKey);
    made.noteMissingValue(logKey, "Sources");
    if (const long created = registry_.createKey(kMachine, key)) return created;
    long error = setNumber(key, "TypesSupported", source.types);
    for (const auto& [name, file] :
         {std::pair{"EventMessageFile", &source.eventMessageFile},
          std::pair{"ParameterMessageFile", &source.parameterMessageFile},
          std::pair{"CategoryMessageFile", &source.categoryMessageFile}}) {
        if (!error && !file->empty()) error = setString(key, name, platform::kRegExpandSz, *file);
    }
    if (!error && source.categoryCount != 0) {
        error = setNumber(key, "CategoryCount", source.categoryCount);
    }
    if (error) return error;
    std::vector<std::string> list = sources(logKey);
    const bool listed = std::any_of(list.begin(), list.end(), [&](const std::string& name) {
        return platform::equalsIgnoreAsciiCase(name, source.name);
    });
    if (!listed) list.push_back(source.name);
    return setList(logKey, "Sources", list);
}

long ServiceRegistry::removeEventSource(const EventSourceDefinition& source) {
    const std::string logKey = kEventLogKey + "\\" + source.log;
    const std::string key = logKey + "\\" + source.name;
    if (registry_.keyExists(kMachine, key)) {
        if (const long deleted = registry_.deleteTree(kMachine, key)) return deleted;
    }
    if (!registry_.keyExists(kMachine, logKey)) return 0;
    std::vector<std::string> list = sources(logKey);
    std::erase_if(list, [&](const std::string& name) {
        return platform::equalsIgnoreAsciiCase(name, source.name);
    });
    // A list the system (or another installation) keeps stays, empty as it may become; one
    // that this source brought goes with it, and so does a log it brought.
    CreatedEntries made(registry_, kMachine);
    if (!list.empty() || !made.takeMadeValue(logKey, "Sources"))
        return setList(logKey, "Sources", list);
    const long deleted = registry_.deleteValue(kMachine, logKey, "Sources");
    if (deleted != 0 && deleted != platform::kErrorFileNotFound) return deleted;
    made.removeEmptyMadeKeys(logKey);
    return 0;
}

long ServiceRegistry::addRunServicesEntry(std::string_view name, std::string_view program) {
    return registry_.writeString(kMachine, kRunServicesKey, name, program);
}

long ServiceRegistry::removeRunServicesEntry(std::string_view name) {
    const long deleted = registry_.deleteValue(kMachine, kRunServicesKey, name);
    if (deleted != 0 && deleted != platform::kErrorFileNotFound) return deleted;
    return registry_.removeEmptyKeys(kMachine, kRunServicesKey);
}

long ServiceRegistry::setString(const std::string& key, std::string_view name, std::uint32_t type,
                                std::string_view text) {
    std::string data(text);
    data += '\0';
    return registry_.setValue(kMachine, key, name, type, data);
}

long ServiceRegistry::setNumber(const std::string& key, std::string_view name,
                                std::uint32_t number) {
    std::string data(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) data[i] = static_cast<char>(number >> (8 * i) & 0xFF);
    return registry_.setValue(kMachine, key, name, platform::kRegDword, data);
}

long ServiceRegistry::setList(const std::string& key, std::string_view name,
                              const std::vector<std::string>& items) {
    std::string data;
    for (const std::string& item : items) {
        data += item;
        data += '\0';
    }
    data += '\0';
    return registry_.setValue(kMachine, key, name, platform::kRegMultiSz, data);
}

std::vector<std::string> ServiceRegistry::sources(const std::string& logKey) const {
    std::string text;
    if (registry_.readText(kMachine, logKey, "Sources", &text, kListSize) != 0) return {};
    std::vector<std::string> list;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\t', pos), text.size());
        if (end > pos) list.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return list;
}

}  // namespace kestrel::setup
