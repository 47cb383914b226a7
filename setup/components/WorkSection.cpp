#include "components/WorkSection.h"

#include <array>

#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {

constexpr std::string_view kWildcardSection = "%Option%";

bool isOneOf(std::string_view kind, std::initializer_list<std::string_view> names) {
    for (std::string_view name : names)
        if (platform::equalsIgnoreAsciiCase(kind, name)) return true;
    return false;
}

}  // namespace

WorkSectionKind workSectionKind(std::string_view section) {
    const std::size_t colon = section.rfind(':');
    const std::string_view kind =
        colon == std::string_view::npos ? section : section.substr(0, colon);
    if (isOneOf(kind, {"ODBC Core", "ODBC Driver", "ODBC Translator", "ODBC DSN", "ODBC System DSN",
                       "ODBC File DSN"}))
        return WorkSectionKind::Odbc;
    if (isOneOf(kind, {"IP Services", "IP Protocols", "IP Networks", "IP Hosts", "IP LMHosts"}))
        return WorkSectionKind::IpFiles;
    if (isOneOf(kind, {"Security"})) return WorkSectionKind::Security;
    if (platform::endsWithIgnoreAsciiCase(kind, "Config.sys")) return WorkSectionKind::ConfigSys;
    if (platform::endsWithIgnoreAsciiCase(kind, ".bat")) return WorkSectionKind::Batch;
    if (platform::endsWithIgnoreAsciiCase(kind, ".ini")) return WorkSectionKind::Ini;
    if (platform::endsWithIgnoreAsciiCase(kind, ".reg")) return WorkSectionKind::Registry;
    if (isOneOf(kind, {"Progman"})) return WorkSectionKind::Progman;
    if (isOneOf(kind, {"Shell"})) return WorkSectionKind::Shell;
    return WorkSectionKind::Plain;
}

std::optional<std::string> workSectionOf(const ScriptText& script, const Component& component) {
    if (script.hasSection(component.name)) return component.name;
    if (component.has(componentflag::kWildcard) && script.hasSection(kWildcardSection))
        return std::string(kWildcardSection);
    return std::nullopt;
}

void setOptionVariables(BuiltinVariables& variables, const Component& component) {
    variables.set("Option", component.name);
    variables.set("OptionName", component.lastName());
    variables.set("OptionText", component.text);
}

OwnSize workSectionSizes(FileSectionReader& sections, const ScriptText& script,
                         BuiltinVariables& variables) {
    return [&sections, &script, &variables](const ComponentList& list, int index) -> std::int64_t {
        const Component& component = list[index];
        const std::optional<std::string> section = workSectionOf(script, component);
        if (!section || workSectionKind(*section) != WorkSectionKind::Plain) return 0;
        setOptionVariables(variables, component);
        return static_cast<std::int64_t>(sections.expectedSize(*section));
    };
}

}  // namespace kestrel::setup
