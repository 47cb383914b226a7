#include "commands/CommandRun.h"

#include "script/ScriptLocation.h"

namespace kestrel::setup::commands {

namespace {

// Relative paths of commands start where the script lies.
std::string scriptDirectory(const OperationContext& context) {
    std::string directory = windowsDirectoryOf(context.variables.value("SetupInf"));
    if (directory.size() > 3) directory.pop_back();  // a drive's root keeps its backslash
    return directory;
}

}  // namespace

CommandTable buildCommandTable(ScriptServices& script, ActionServices& actions) {
    CommandTable table;
    registerScriptCommands(table, script);
    registerActionCommands(table, actions);
    return table;
}

CommandRun::CommandRun(OperationContext& context, FileSectionReader& sections,
                       ActionServices& actions, PromptAsker& prompts, SectionSpace sectionSpace)
    : services_{actions.progress, actions.copier.meter(), prompts,
                [&sections](OperationContext& run, std::string_view section, Direction direction) {
                    if (sections.isOtherKind(section)) {
                        return sections.processOtherKind(section, direction);
                    }
                    return runSection(run, sections.reading(), section, direction);
                },
                sectionSpace ? std::move(sectionSpace)
                             : [&sections](OperationContext&, std::string_view section)
                    -> std::optional<std::uint64_t> { return sections.expectedSize(section); }},
      interpreter_(buildCommandTable(services_, actions), actions.progress,
                   scriptDirectory(context)) {
    interpreter_.attach(sections);
    // The space of a section counts what its command lines add: Set and ReplaceEnv change
    // what later lines expand to, If adds the section it chooses.
    sections.setCommandPreScan([this, &context](const ScriptLine& line, const Expander&) {
        std::uint64_t space = 0;
        (void)interpreter_.prescan(context, line.text, false, space);
        return space;
    });
}

}  // namespace kestrel::setup::commands
