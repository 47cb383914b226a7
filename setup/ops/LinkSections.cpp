#include "ops/LinkSections.h"

#include <algorithm>

#include "messages/MessageStrings.h"
#include "ops/ProgmanCommands.h"
#include "ops/ProgmanGroupOperation.h"
#include "ops/ShellLinkOperation.h"
#include "plan/SectionReader.h"
#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup {

namespace {

constexpr SectionKind kLinkSection{1024, strings::kWorkingOnGroup, false};

// "Key = value" with this key; the value without blanks around it.
std::optional<std::string_view> keyValue(std::string_view line, std::string_view key) {
    line = trimBlanks(line);
    if (!platform::startsWithIgnoreAsciiCase(line, key)) return std::nullopt;
    const std::string_view rest = trimBlanks(line.substr(key.size()));
    if (rest.empty() || rest.front() != '=') return std::nullopt;
    return trimBlanks(rest.substr(1));
}

std::optional<std::string> firstExisting(const ScriptText& script,
                                         std::initializer_list<std::string> sections) {
    for (const std::string& section : sections) {
        if (script.hasSection(section)) return section;
    }
    return std::nullopt;
}

OperationList readShellLines(const std::vector<ScriptLine>& lines, const Expander& expander,
                             LinkServices& services) {
    OperationList operations;
    for (const ScriptLine& line : lines) {
        if (line.text.empty() || keyValue(line.text, "Caption")) continue;
        operations.push_back(
            std::make_unique<ShellLinkOperation>(parseLinkLine(line.text, expander), services));
    }
    return operations;
}

// The group and the item's name of a location: the part before the last backslash and
// the rest. A location in the programs folder names its group below it.
std::pair<std::string, std::string> splitItemLocation(std::string_view location,
                                                      const Expander& expander) {
    for (const char* folder : {"%Programs%", "%UserPrograms%", "%CommonPrograms%"}) {
        const std::string programs = expander.expand(folder) + "\\";
        if (programs.size() > 1 && platform::startsWithIgnoreAsciiCase(location, programs)) {
            location.remove_prefix(programs.size());
            break;
        }
    }
    return {std::string(platform::directoryPart(location)),
            std::string(platform::fileNamePart(location))};
}

OperationList readProgmanLines(const std::vector<ScriptLine>& lines, const Expander& expander,
                               LinkServices& services) {
    OperationList operations;
    ProgmanGroupWork work;
    const auto finish = [&] {
        if (!work.groupValue.empty() || !work.items.empty()) {
            operations.push_back(
                std::make_unique<ProgmanGroupOperation>(std::move(work), services));
        }
        work = {};
    };
    std::string sectionGroup;  // from the Group key or the last "Group=" line
    for (const ScriptLine& line : lines) {
        if (line.text.empty() || keyValue(line.text, "Caption")) continue;
        if (const auto group = keyValue(line.text, "Group")) {
            finish();
            sectionGroup = expander.expand(*group);
            work.groupValue = sectionGroup;
            continue;
        }
        LinkEntry entry = parseLinkLine(line.text, expander);
        auto [group, name] = splitItemLocation(entry.location, expander);
        const std::string groupValue = group.empty() ? sectionGroup : group;
        if (!platform::equalsIgnoreAsciiCase(groupNameOf(groupValue),
                                             groupNameOf(work.groupValue))) {
            finish();
            work.groupValue = groupValue;
        }
        work.items.push_back({std::move(entry), std::move(name)});
    }
    finish();
    return operations;
}

using LinkLinesReader = OperationList (*)(const std::vector<ScriptLine>&, const Expander&,
                                          LinkServices&);

std::optional<PlanStep> readLinkSection(OperationContext& context, LinkServices& services,
                                        std::string_view section, LinkLinesReader read) {
    return readSectionStep(
        context, section, kLinkSection,
        [&services, read](const std::vector<ScriptLine>& lines, const Expander& expander) {
            return read(lines, expander, services);
        });
}

}  // namespace

LinkSectionKind linkSectionKind(std::string_view section) {
    const std::size_t colon = section.rfind(':');
    const std::string_view kind = trimBlanks(section.substr(0, colon));
    if (platform::equalsIgnoreAsciiCase(kind, "Shell")) return LinkSectionKind::Shell;
    if (platform::equalsIgnoreAsciiCase(kind, "Progman") ||
        platform::startsWithIgnoreAsciiCase(section, "Progman.")) {
        return LinkSectionKind::Progman;
    }
    return LinkSectionKind::None;
}

bool usesProgramManager(const platform::MachineRoot& machine) {
    return machine.windowsVersion().major < 4;
}

std::optional<std::string> findShellSection(const ScriptText& script, std::string_view component) {
    const std::string_view parent = platform::directoryPart(component);
    if (parent.empty()) return firstExisting(script, {"Shell:" + std::string(component)});
    return firstExisting(
        script, {"Shell:" + std::string(component), "Shell:<" + std::string(parent) + ">"});
}

std::optional<std::string> findProgmanSection(const ScriptText& script,
                                              std::string_view component) {
    const std::string name(component);
    const std::string_view parent = platform::directoryPart(component);
    auto section = parent.empty()
                       ? firstExisting(script, {"Progman:" + name, "Progman." + name})
                       : firstExisting(script, {"Progman:" + name, "Progman." + name,
                                                "Progman:<" + std::string(parent) + ">"});
    return section ? section : findShellSection(script, component);
}

std::optional<PlanStep> readShellSection(OperationContext& context, LinkServices& services,
                                         std::string_view section) {
    return readLinkSection(context, services, section, readShellLines);
}

std::optional<PlanStep> readProgmanSection(OperationContext& context, LinkServices& services,
                                           std::string_view section) {
    return readLinkSection(context, services, section, readProgmanLines);
}

SectionReading linkSections(OperationContext& context, LinkServices& services) {
    return {[&context, &services](std::string_view section, Direction) {
                return linkSectionKind(section) == LinkSectionKind::Progman
                           ? readProgmanSection(context, services, section)
                           : readShellSection(context, services, section);
            },
            [&context](std::string_view section) {
                return linkSectionKind(section) != LinkSectionKind::Progman &&
                       usesProgramManager(context.registry.machine());
            }};
}

bool processComponentLinks(OperationContext& context, LinkServices& services,
                           const std::vector<std::string>& components, Direction direction) {
    const bool progman = usesProgramManager(context.registry.machine());
    // Program-manager roots make items of a Shell section's links too.
    const SectionReading reading{[&](std::string_view section, Direction) {
        return progman ? readProgmanSection(context, services, section)
                       : readShellSection(context, services, section);
    }};
    std::vector<std::string> done;
    for (const std::string& component : components) {
        const auto section = progman ? findProgmanSection(context.script, component)
                                     : findShellSection(context.script, component);
        if (!section || std::find(done.begin(), done.end(), *section) != done.end()) continue;
        done.push_back(*section);
        if (!runSection(context, reading, *section, direction)) return false;
    }
    return true;
}

}  // namespace kestrel::setup
