#include <filesystem>
#include <string>
#include <system_error>

#include "commands/ScriptCommandHandlers.h"
#include "platform/AsciiCase.h"
#include "platform/WindowsPathParts.h"

namespace kestrel::setup::commands {

namespace {

// "." and ".." resolved, no final backslash except at a drive's root.
std::string normalDirectory(std::string_view path) {
    const platform::WindowsPathParts parts = platform::splitWindowsPath(path);
    std::string directory = parts.drive;
    for (const std::string& component : parts.components) directory += '\\' + component;
    if (parts.components.empty()) directory += '\\';
    return directory;
}

// Makes the directory current when it exists; as on Windows, a failure is not reported.
void enter(CommandCall& call, std::string_view path) {
    const std::string directory = normalDirectory(path);
    const auto host = call.context.registry.machine().hostPath(directory);
    std::error_code error;
    if (host && std::filesystem::is_directory(*host, error))
        call.state.currentDirectory = directory;
}

}  // namespace

bool changeDirectory(CommandCall& call) {
    enter(call, call.state.absolutePath(call.line.arguments[0]));
    return true;
}

bool changeDrive(CommandCall& call) {
    // As on Windows, naming the current drive leaves its directory as it is.
    if (!platform::startsWithIgnoreAsciiCase(call.state.currentDirectory, call.line.word))
        enter(call, call.line.word + '\\');
    return true;
}

}  // namespace kestrel::setup::commands
