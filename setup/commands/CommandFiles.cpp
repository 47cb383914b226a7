#include <filesystem>
#include <string>
#include <system_error>

#include "commands/ScriptCommandHandlers.h"
#include "messages/MessageStrings.h"
#include "platform/AtomicFile.h"

namespace kestrel::setup::commands {

namespace fs = std::filesystem;

CommandPath commandPath(CommandCall& call, std::string_view path) {
    CommandPath result{call.state.absolutePath(path), std::nullopt};
    result.host = call.context.registry.machine().hostPath(result.windows);
    return result;
}

std::optional<std::string> readCommandFile(const CommandPath& path) {
    return path.host ? platform::readWholeFile(*path.host) : std::nullopt;
}

bool fileFailed(CommandCall& call, int message, const std::string& path,
                const std::string& reason) {
    call.context.messages.show(message, {path}, reason);
    return false;
}

bool writeTarget(CommandCall& call, const CommandPath& target, std::string_view text, bool extend) {
    if (!target.host) return fileFailed(call, messages::kCannotCreateFile, target.windows);
    std::error_code error;
    extend = extend && fs::exists(*target.host, error);
    std::string content;
    if (extend) {
        const std::optional<std::string> old = platform::readWholeFile(*target.host);
        if (!old) return fileFailed(call, messages::kCannotReadFile, target.windows);
        content = *old;
    }
    content += text;
    if (const std::error_code written = platform::writeFileAtomically(*target.host, content)) {
        return fileFailed(call, extend ? messages::kCannotWriteFile : messages::kCannotCreateFile,
                          target.windows, written.message());
    }
    return true;
}

}  // namespace kestrel::setup::commands
