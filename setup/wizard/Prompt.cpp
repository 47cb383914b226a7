#include "wizard/Prompt.h"

namespace kestrel::setup {

const std::vector<FlagName>& promptFlagNames() {
    static const std::vector<FlagName> names = {
        {"NORMAL", 0},
        {"UPPERCASE", prompt::kUpperCase},
        {"LOWERCASE", prompt::kLowerCase},
        {"PASSWORD", prompt::kPassword},
        {"NUMBER", prompt::kNumber},
        {"NONMANDATORY", prompt::kNonMandatory},
        {"USEDEFAULT", prompt::kUseDefault},
        {"DIRECTORY", prompt::kDirectory},
        {"WINDOWS", prompt::kWindows},
        {"SHARED", prompt::kShared},
        {"WINDOWS16", prompt::kWindows16},
        {"WINDOWS32", prompt::kWindows32},
        {"DOS", prompt::kDos},
        {"NT", prompt::kNt},
        {"ADMIN", prompt::kAdmin},
        {"CLIENT", prompt::kClient},
        {"MACHINE", prompt::kMachine},
        {"LOCALAPP", prompt::kLocalApp},
        {"CLIENTONLY", prompt::kClientOnly},
    };
    return names;
}

PromptDefinition parsePromptDefinition(std::string_view name, std::string_view line) {
    PromptDefinition definition;
    definition.name = std::string(name);
    FieldReader reader(line);
    auto next = [&reader] {
        const auto field = reader.next();
        return field ? field->text : std::string();
    };
    definition.text = unescapeText(next());
    definition.defaultValue = next();
    definition.label = next();
    const std::int32_t length = readNumber(next());
    if (length > 0 && length < 255) definition.maxLength = static_cast<std::size_t>(length);
    const FlagReading flags = readFlags(next(), promptFlagNames());
    definition.flags = flags.value;
    definition.unknownFlag = flags.unknown;
    definition.fallback = next();
    return definition;
}

bool promptApplies(std::uint32_t flags, const PromptRunKind& run) {
    const auto has = [flags](std::uint32_t flag) { return (flags & flag) != 0; };
    if (has(prompt::kAdmin) != run.admin) return false;
    const bool fromServer = run.client || run.fromCD;
    if (has(prompt::kLocalApp) && fromServer) return false;
    if (has(prompt::kWindows16) || has(prompt::kWindows32)) {
        if (!has(run.setupBits == 16 ? prompt::kWindows16 : prompt::kWindows32)) return false;
    }
    if (has(prompt::kWindows) != has(prompt::kShared)) {
        if (has(prompt::kWindows) != run.systemInsideWindows) return false;
    }
    if (has(prompt::kClient) && has(prompt::kMachine)) return !run.perUserPart;
    if (has(prompt::kMachine) != run.workstation) return false;
    if (fromServer && !has(prompt::kClient) && !has(prompt::kClientOnly)) return false;
    if (has(prompt::kClientOnly) && !fromServer) return false;
    return true;
}

}  // namespace kestrel::setup
