#include "commands/ScriptCommands.h"

#include <memory>
#include <string>

#include "commands/ScriptCommandHandlers.h"
#include "messages/MessageStrings.h"
#include "script/Fields.h"

namespace kestrel::setup::commands {

namespace {

bool abortInstallation(CommandCall& call) {
    call.context.run.abort = true;
    return false;
}

bool echo(CommandCall& call) {
    OperationContext& context = call.context;
    if (context.run.silent) return true;
    // The text is shown as it stands: a percent sign in it is no format.
    context.messages.note("%s", {call.line.rest}, context.variables.value("SetupName"));
    return true;
}

bool comment(CommandCall&) {
    return true;
}

}  // namespace

bool invalidParameter(CommandCall& call) {
    if (!call.prescan) call.context.messages.show(messages::kInvalidParameter, {call.line.text});
    return true;
}

void registerScriptCommands(CommandTable& table, ScriptServices& services) {
    table.add("Abort", {.handler = abortInstallation, .bothDirections = true});
    table.add("AddMeter", {.handler =
                               [&services](CommandCall& call) {
                                   const std::int32_t bytes = readNumber(call.line.arguments[0]);
                                   if (bytes > 0) services.meter.done += bytes;
                                   services.progress.setProgress(services.meter.done,
                                                                 services.meter.total);
                                   return true;
                               },
                           .needsArgument = true,
                           .bothDirections = true});
    table.add("Append", {.handler = appendFile, .needsArgument = true});
    for (const char* word : {"CD", "ChDir"}) {
        table.add(word,
                  {.handler = changeDirectory, .needsArgument = true, .bothDirections = true});
    }
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        table.add(std::string{letter, ':'}, {.handler = changeDrive, .bothDirections = true});
    table.add("Echo", {.handler = echo, .needsArgument = true});
    table.add("Extract", {.handler = extractSections, .needsArgument = true});
    table.add("If", {.handler = [command = std::make_shared<IfCommand>(services)](
                                    CommandCall& call) { return (*command)(call); },
                     .needsArgument = true,
                     .bothDirections = true,
                     .inPrescan = true});
    table.add("Prompt", {.handler =
                             [&services](CommandCall& call) {
                                 return services.prompts.askCommand(call.line.arguments[0]);
                             },
                         .needsArgument = true,
                         .bothDirections = true});
    table.add("Rem", {.handler = comment});
    table.add("ReplaceEnv", {.handler = replaceEnvironmentVariable,
                             .needsArgument = true,
                             .bothDirections = true,
                             .inPrescan = true});
    table.add("ReplaceVars", {.handler = replaceVariables, .needsArgument = true});
    table.add(
        "Set",
        {.handler = setVariable, .needsArgument = true, .bothDirections = true, .inPrescan = true});
}

}  // namespace kestrel::setup::commands
