#include "components/ComponentListReader.h"

#include <algorithm>

#include "messages/MessageStrings.h"
#include "platform/AsciiCase.h"
#include "script/Fields.h"

namespace kestrel::setup {

namespace {

constexpr std::size_t kLineSize = 2048;  // room for three texts of 255 and the flags
constexpr std::size_t kTextSize = 256;

const std::vector<FlagName>& componentFlagNames() {
    static const std::vector<FlagName> names = {{"NORMAL", componentflag::kNormal},
                                                {"DEFAULT", componentflag::kDefault},
                                                {"WILDCARD", componentflag::kWildcard},
                                                {"COPYALWAYS", componentflag::kCopyAlways},
                                                {"HIDDEN", componentflag::kHidden}};
    return names;
}

// The key (before the first "=", trimmed) and the rest of a line.
struct KeyLine {
    std::string key;
    std::string_view rest;
    bool hasEquals = false;
};
KeyLine splitKeyLine(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return {std::string(trimBlanks(text)), {}, false};
    return {std::string(trimBlanks(text.substr(0, equals))), text.substr(equals + 1), true};
}

std::string cut(std::string text) {
    if (text.size() >= kTextSize) text.resize(kTextSize - 1);
    return text;
}

int iconIndex(const std::vector<IconEntry>& icons, std::string_view name) {
    const auto found = std::ranges::find_if(icons, [name](const IconEntry& icon) {
        return platform::equalsIgnoreAsciiCase(icon.name, name);
    });
    return found == icons.end() ? kNoComponent : static_cast<int>(found - icons.begin());
}

class Reader {
  public:
    Reader(const ScriptText& script, BuiltinVariables& variables, const Expander& expander,
           const ComponentReading& reading, const std::function<void(const ScriptProblem&)>& warn)
        : script_(script),
          variables_(variables),
          expander_(expander),
          reading_(reading),
          warn_(warn),
          icons_(readIconEntries(script, expander)) {}

    platform::Expected<ComponentList, ScriptProblem> read() {
        if (auto failed = readComponents("Copy", componentflag::kCopyAlways))
            return platform::unexpected(std::move(*failed));
        if (auto failed = readComponents("Options", 0))
            return platform::unexpected(std::move(*failed));
        readDependencies();
        if (reading_.readGroups) readGroups();
        return std::move(list_);
    }

  private:
    // The problem that ends the reading, if any.
    std::optional<ScriptProblem> readComponents(std::string_view section,
                                                std::uint32_t extraFlags) {
        for (const ScriptLine& line : script_.sectionLines(section, kLineSize)) {
            if (line.text.empty()) continue;
            auto component = readComponent(line.text, extraFlags);
            if (!component) return component.error();
            const std::string name = component->name;
            if (!list_.add(std::move(*component)))
                return ScriptProblem{messages::kParentOptionNotFound, {name}};
        }
        return std::nullopt;
    }

    platform::Expected<Component, ScriptProblem> readComponent(std::string_view text,
                                                               std::uint32_t extraFlags) {
        const KeyLine line = splitKeyLine(text);
        Component component;
        component.name = cut(expander_.expand(line.key));
        variables_.set("Option", component.name);
        variables_.set("OptionName", component.lastName());
        variables_.set("OptionText", "");
        FieldReader fields(line.rest);
        const auto field = [&fields] { return fields.next(kLineSize).value_or(Field{}).text; };
        component.text = cut(expander_.expand(field()));
        variables_.set("OptionText", component.text);
        const std::string flagText = field();
        auto flags = parseFlags(flagText, componentFlagNames(), "|+) ");
        if (!flags)
            return platform::unexpected(ScriptProblem{messages::kIncorrectFlags, {flags.error()}});
        component.flags = *flags | extraFlags;
        if (reading_.scriptVersion >= 0x510) {
            const std::string icon = std::string(trimBlanks(expander_.expand(field())));
            component.icon = icon.empty() ? kNoComponent : iconIndex(icons_, icon);
        }
        component.description = cut(unescapeText(expander_.expand(field())));
        return component;
    }

    // Unknown names only get a word: the rest of the line still counts.
    std::optional<int> known(std::string_view name, bool warnUnknown) {
        const std::optional<int> found = list_.find(name);
        if (!found && warnUnknown)
            warn_(ScriptProblem{messages::kSectionNotFound, {std::string(name)}});
        return found;
    }

    void readDependencies() {
        const bool warnUnknown = !reading_.clientRun;
        for (const ScriptLine& line : script_.sectionLines("OptionDependencies", kLineSize)) {
            if (line.text.empty()) continue;
            const KeyLine keyLine = splitKeyLine(line.text);
            const std::optional<int> owner = known(keyLine.key, warnUnknown);
            for (const std::string& field : splitFields(keyLine.rest, kTextSize)) {
                const std::string_view name = trimBlanks(field);
                if (name.empty()) continue;
                const std::optional<int> dependency = known(name, warnUnknown);
                if (owner && dependency && *dependency != *owner)
                    list_[*owner].dependencies.push_back(*dependency);
            }
        }
    }

    void readGroups() {
        int number = 0;
        int kind = 0;
        for (const ScriptLine& line : script_.sectionLines("OptionGroups", kLineSize)) {
            if (line.text.empty()) continue;
            const KeyLine keyLine = splitKeyLine(line.text);
            std::string_view members = line.text;
            if (keyLine.hasEquals) {
                kind = readNumber(keyLine.key);
                members = keyLine.rest;
            }
            for (const std::string& field : splitFields(members, kTextSize))
                addMembers(trimBlanks(field), number, kind);
            ++number;
        }
    }

    void addMembers(std::string_view member, int number, int kind) {
        if (member.empty()) return;
        const bool allChildren = member.ends_with("\\*");
        const std::string_view name = allChildren ? member.substr(0, member.size() - 2) : member;
        const std::optional<int> found = known(name, true);
        if (!found) return;
        const std::vector<int> members =
            allChildren ? list_.children(*found) : std::vector<int>{*found};
        for (int index : members) {
            Component& component = list_[index];
            if (component.group != kNoComponent) continue;  // the first group naming it counts
            component.group = number;
            component.groupKind = kind;
        }
    }

    const ScriptText& script_;
    BuiltinVariables& variables_;
    const Expander& expander_;
    const ComponentReading& reading_;
    const std::function<void(const ScriptProblem&)>& warn_;
    std::vector<IconEntry> icons_;
    ComponentList list_;
};

}  // namespace

std::vector<IconEntry> readIconEntries(const ScriptText& script, const Expander& expander) {
    std::vector<IconEntry> icons;
    for (const ScriptLine& line : script.sectionLines("Icons", kLineSize)) {
        const KeyLine keyLine = splitKeyLine(line.text);
        if (!keyLine.hasEquals || keyLine.key.empty()) continue;
        FieldReader fields(keyLine.rest);
        const std::optional<Field> picture = fields.next(kTextSize);
        icons.push_back({keyLine.key, picture ? expander.expand(picture->text) : std::string()});
    }
    return icons;
}

platform::Expected<ComponentList, ScriptProblem> readComponentList(
    const ScriptText& script, BuiltinVariables& variables, const Expander& expander,
    const ComponentReading& reading, const std::function<void(const ScriptProblem&)>& warn) {
    return Reader(script, variables, expander, reading, warn).read();
}

}  // namespace kestrel::setup
