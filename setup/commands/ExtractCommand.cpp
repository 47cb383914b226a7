#include <string>
#include <vector>

#include "commands/ScriptCommandHandlers.h"
#include "messages/MessageStrings.h"
#include "platform/AsciiCase.h"
#include "script/ScriptText.h"

namespace kestrel::setup::commands {

namespace {

// Lines are taken as long as an expansion may make them: a configuration line cut short
// would be written broken.
constexpr std::size_t kLineSize = Expander::kLimit + 1;

struct ExtractList {
    std::vector<std::string> sections;
    bool append = false;  // /A
};

// Section names from the arguments after source and target, separated by blanks or "+";
// names that begin with "/" are options.
ExtractList readList(const std::vector<std::string>& arguments) {
    ExtractList list;
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        std::string_view names = arguments[i];
        while (!names.empty()) {
            const std::size_t plus = names.find('+');
            const std::string_view name = names.substr(0, plus);
            if (!name.empty() && name.front() == '/') {
                list.append = list.append || platform::equalsIgnoreAsciiCase(name, "/A");
            } else if (!name.empty()) {
                list.sections.emplace_back(name);
            }
            names.remove_prefix(plus == std::string_view::npos ? names.size() : plus + 1);
        }
    }
    return list;
}

// A line ";X..." is active for the components that the script's [Extract] key X names: its
// first two characters become blanks.
std::string activated(OperationContext& context, std::string line) {
    if (line.size() < 2 || line.front() != ';') return line;
    const std::string component = platform::asciiLower(context.variables.value("Option"));
    const std::optional<std::string> value = context.script.readValue("Extract", line.substr(1, 1));
    if (!component.empty() && value &&
        platform::asciiLower(*value).find(component) != std::string::npos)
        line.replace(0, 2, "  ");
    return line;
}

}  // namespace

bool extractSections(CommandCall& call) {
    const auto& arguments = call.line.arguments;
    const ExtractList list = readList(arguments);
    if (arguments.size() < 3 || list.sections.empty()) return invalidParameter(call);
    const CommandPath source = commandPath(call, arguments[0]);
    const CommandPath target = commandPath(call, arguments[1]);
    std::optional<std::string> text = readCommandFile(source);
    if (!text) return fileFailed(call, messages::kCannotOpenFile, source.windows);
    // A zero byte means this is no text file: its sections could not be found reliably.
    if (text->find('\0') != std::string::npos)
        return fileFailed(call, messages::kCannotReadFile, source.windows);

    const ScriptText file = ScriptText::fromText(std::move(*text), source.windows, false);
    const Expander expander = call.context.expander();
    std::string extracted;
    for (const std::string& section : list.sections) {
        const std::optional<std::size_t> start = file.findSection(section);
        if (!start) return fileFailed(call, messages::kSectionNotFound, section);
        for (auto line = file.readLine(*start, kLineSize, true, false); line;
             line = file.readLine(line->next, kLineSize, true, false)) {
            if (line->text.starts_with(";;")) continue;
            extracted += activated(call.context, expander.expand(line->text));
            extracted += "\r\n";
        }
    }

    return writeTarget(call, target, extracted, list.append);
}

}  // namespace kestrel::setup::commands
