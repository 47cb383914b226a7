#include "system/ServiceDefinition.h"

#include "script/Fields.h"

namespace kestrel::setup {

namespace {

// Long enough for a list of dependencies; the fields themselves are cut to 256.
constexpr std::size_t kDefinitionSize = 1024;
constexpr std::size_t kServiceFields = 9;
constexpr std::size_t kEventSourceFields = 6;

const std::vector<FlagName> kServiceTypes{
    {"SERVICE_KERNEL_DRIVER", service::kKernelDriver},
    {"SERVICE_FILE_SYSTEM_DRIVER", service::kFileSystemDriver},
    {"SERVICE_WIN32_OWN_PROCESS", service::kOwnProcess},
    {"SERVICE_WIN32_SHARE_PROCESS", service::kShareProcess},
    {"SERVICE_INTERACTIVE_PROCESS", service::kInteractiveProcess},
};
const std::vector<FlagName> kStartTypes{
    {"SERVICE_BOOT_START", service::kBootStart}, {"SERVICE_SYSTEM_START", service::kSystemStart},
    {"SERVICE_AUTO_START", service::kAutoStart}, {"SERVICE_DEMAND_START", service::kDemandStart},
    {"SERVICE_DISABLED", service::kDisabled},
};
const std::vector<FlagName> kErrorControls{
    {"SERVICE_ERROR_IGNORE", 0},
    {"SERVICE_ERROR_NORMAL", service::kErrorNormal},
    {"SERVICE_ERROR_SEVERE", 2},
    {"SERVICE_ERROR_CRITICAL", service::kErrorCritical},
};
const std::vector<FlagName> kEventTypes{
    {"EVENTLOG_SUCCESS", 0x0},       {"EVENTLOG_ERROR_TYPE", 0x1},
    {"EVENTLOG_WARNING_TYPE", 0x2},  {"EVENTLOG_INFORMATION_TYPE", 0x4},
    {"EVENTLOG_AUDIT_SUCCESS", 0x8}, {"EVENTLOG_AUDIT_FAILURE", 0x10},
};

// The definition's fields, each with its variables expanded; an error when there are more
// than `count`.
platform::Expected<std::vector<std::string>, std::string> definitionFields(const ScriptText& script,
                                                                           const Expander& expander,
                                                                           std::string_view section,
                                                                           std::string_view name,
                                                                           std::size_t count) {
    const auto definition = script.readValue(section, name, kDefinitionSize);
    std::vector<std::string> fields;
    if (definition) fields = splitFields(*definition);
    if (fields.size() > count) return platform::unexpected(*definition);
    fields.resize(count);
    for (std::string& field : fields) field = expander.expand(field);
    return fields;
}

// An empty field keeps the default; otherwise its keywords (or numbers) OR-ed.
platform::Expected<void, std::string> readKeywords(const std::string& field,
                                                   const std::vector<FlagName>& table,
                                                   std::uint32_t* value) {
    if (field.find_first_not_of(' ') == std::string::npos) return {};
    auto flags = parseFlags(field, table);
    if (!flags) return platform::unexpected(flags.error());
    *value = *flags;
    return {};
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t end = std::min(text.find(';', pos), text.size());
        const std::string item = text.substr(pos, end - pos);
        const std::size_t first = item.find_first_not_of(' ');
        if (first != std::string::npos) {
            items.push_back(item.substr(first, item.find_last_not_of(' ') - first + 1));
        }
        pos = end + 1;
    }
    return items;
}

}  // namespace

std::string ServiceDefinition::accountName() const {
    return account.starts_with(".\\") ? account.substr(2) : account;
}

platform::Expected<ServiceDefinition, std::string> readServiceDefinition(const ScriptText& script,
                                                                         const Expander& expander,
                                                                         std::string_view name) {
    const auto fields = definitionFields(script, expander, "Services", name, kServiceFields);
    if (!fields) return platform::unexpected(fields.error());
    const std::vector<std::string>& field = *fields;

    ServiceDefinition definition;
    definition.name = std::string(name);
    definition.displayName = field[0].empty() ? definition.name : field[0];
    for (const auto& [text, table, value] :
         {std::tuple{&field[1], &kServiceTypes, &definition.type},
          std::tuple{&field[2], &kStartTypes, &definition.start},
          std::tuple{&field[3], &kErrorControls, &definition.errorControl}}) {
        if (auto read = readKeywords(*text, *table, value); !read) {
            return platform::unexpected(read.error());
        }
    }
    definition.group = field[4];
    definition.dependencies = splitList(field[5]);
    definition.account = field[6];
    if (!definition.account.empty() && definition.account.find('\\') == std::string::npos) {
        definition.account = ".\\" + definition.account;
    }
    definition.password = field[7];
    definition.eventSource = field[8].empty() ? definition.name : field[8];
    return definition;
}

platform::Expected<EventSourceDefinition, std::string> readEventSourceDefinition(
    const ScriptText& script, const Expander& expander, std::string_view name) {
    const auto fields =
        definitionFields(script, expander, "EventSources", name, kEventSourceFields);
    if (!fields) return platform::unexpected(fields.error());
    const std::vector<std::string>& field = *fields;

    EventSourceDefinition definition;
    definition.name = std::string(name);
    if (!field[0].empty()) definition.log = field[0];
    if (auto read = readKeywords(field[1], kEventTypes, &definition.types); !read) {
        return platform::unexpected(read.error());
    }
    definition.eventMessageFile = field[2];
    definition.parameterMessageFile = field[3];
    definition.categoryMessageFile = field[4];
    definition.categoryCount = static_cast<std::uint32_t>(readNumber(field[5]));
    return definition;
}

}  // namespace kestrel::setup
