// MD, RD and DelTree: directories of the machine root.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "commands/ActionHandlers.h"
#include "messages/MessageStrings.h"
#include "platform/JournaledFiles.h"

namespace kestrel::setup::commands {

namespace fs = std::filesystem;

namespace {

// `inner` lies strictly below `outer` (both canonical).
bool isBelow(const fs::path& inner, const fs::path& outer) {
    const auto [outerEnd, innerAt] =
        std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return outerEnd == outer.end() && innerAt != inner.end();
}

// Whether DelTree may take the directory: a path that is empty, a drive's root, a link, or
// leads out of the machine root through a drive or a link (Z: is the host's /), or holds a
// place of the root itself (the Windows folder, the profiles, ...) would take far more than a
// product's directory.
bool mayDeleteTree(const platform::MachineRoot& machine, std::string_view windowsPath,
                   const fs::path& host) {
    const std::size_t end = windowsPath.find_last_not_of("\\/");
    const std::string_view trimmed =
        end == std::string_view::npos ? std::string_view() : windowsPath.substr(0, end + 1);
    if (trimmed.size() <= 2) return false;  // "", "C:", "\"
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(host, error))) return false;
    const fs::path real = fs::canonical(host, error);
    if (error) return false;
    const fs::path root = fs::canonical(machine.prefix(), error);
    if (error || !isBelow(real, root)) return false;
    for (const fs::path& kept : machine.keptFolders()) {
        const fs::path keptReal = fs::weakly_canonical(kept, error);
        if (!error && (keptReal == real || isBelow(keptReal, real))) return false;
    }
    return true;
}

}  // namespace

bool makeDirectory(CommandCall& call, ActionServices& services) {
    const std::string directory = call.state.absolutePath(call.line.arguments[0]);
    const auto host = call.context.registry.machine().hostPath(directory);
    std::error_code error;
    if (call.undo) {
        if (host && fs::is_directory(*host, error)) services.removal.removeEmptyDirectories(*host);
        return true;
    }
    if (host) error = platform::journaled::createFolders(*host);
    if (host && !error && fs::is_directory(*host, error)) return true;
    call.context.messages.show(messages::kCannotCreateDirectory, {directory});
    return false;
}

bool removeDirectory(CommandCall& call, ActionServices&) {
    const auto host =
        call.context.registry.machine().hostPath(call.state.absolutePath(call.line.arguments[0]));
    std::error_code error;
    // fs::remove takes an empty directory only; one with something in it stays, unreported.
    if (host && fs::is_directory(fs::symlink_status(*host, error)))
        (void)platform::journaled::removeFolder(*host);
    return true;
}

bool deleteTree(CommandCall& call, ActionServices& services) {
    platform::MachineRoot& machine = call.context.registry.machine();
    const std::string& argument = call.line.arguments[0];
    // An empty name would mean the current directory itself.
    const bool named = argument.find_first_not_of(' ') != std::string::npos;
    const std::string directory = call.state.absolutePath(argument);
    const auto host = machine.hostPath(directory);
    std::error_code error;
    if (named && host && !fs::exists(fs::symlink_status(*host, error)))
        return true;  // nothing to do
    if (named && host && mayDeleteTree(machine, directory, *host) &&
        services.removal.removeDirectoryTree(*host))
        return true;
    call.context.messages.show(messages::kCannotDeleteDirectory, {directory});
    return false;
}

}  // namespace kestrel::setup::commands
