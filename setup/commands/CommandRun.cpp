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

CommandTable buildCommandTable(ScriptServices& script) {
    CommandTable table;
    registerScriptCommands(table, script);
    return table;
}

CommandRun::CommandRun(OperationContext& context, FileSectionReader& sections,
                       copy::FileCopier& copier, ProgressWindow& progress, PromptAsker& prompts,
                       SectionSpace sectionSpace)
    : services_{progress, copier.meter(), prompts,
                [&sections](OperationContext& run, std::string_view section, Direction direction) {
                    return processFileSection(sections, run, section, direction);
                },
                std::move(sectionSpace)},
      interpreter_(buildCommandTable(services_), progress, scriptDirectory(context)) {
    interpreter_.attach(sections);
}

}  // namespace kestrel::setup::commands
