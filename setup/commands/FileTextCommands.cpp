#include <filesystem>
#include <string>
#include <system_error>

#include "commands/ScriptCommandHandlers.h"
#include "copy/VariableReplacement.h"
#include "messages/MessageStrings.h"
#include "platform/JournaledFiles.h"

namespace kestrel::setup::commands {

namespace fs = std::filesystem;

bool appendFile(CommandCall& call) {
    const auto& arguments = call.line.arguments;
    if (arguments.size() < 2) return invalidParameter(call);
    // A repeat or a further instance must not add the same text twice.
    if (call.context.run.repeat || call.context.run.newInstance) return true;
    const CommandPath source = commandPath(call, arguments[0]);
    const CommandPath target = commandPath(call, arguments[1]);
    const std::optional<std::string> added = readCommandFile(source);
    if (!added) return fileFailed(call, messages::kCannotOpenFile, source.windows);
    if (target.host) {
        const std::error_code error =
            platform::journaled::createFolders(target.host->parent_path());
        if (error)
            return fileFailed(call, messages::kCannotCreateFile, target.windows, error.message());
    }
    return writeTarget(call, target, *added, true);
}

bool replaceVariables(CommandCall& call) {
    const CommandPath file = commandPath(call, call.line.arguments[0]);
    std::error_code error;
    if (!file.host || !fs::is_regular_file(*file.host, error))
        return fileFailed(call, messages::kCannotOpenFile, file.windows);
    const Expander expander = call.context.expander();
    const auto replaced = copy::replaceVariablesInFile(
        *file.host, [&expander](std::string_view line) { return expander.expand(line); });
    if (!replaced)
        return fileFailed(call, messages::kCannotWriteFile, file.windows, replaced.error());
    return true;
}

}  // namespace kestrel::setup::commands
