// Copy, Del and Ren: files of the machine root, named by Windows paths relative to the
// commands' current directory.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "commands/ActionHandlers.h"
#include "messages/MessageStrings.h"
#include "platform/JournaledFiles.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup::commands {

namespace fs = std::filesystem;

namespace {

using platform::joinWindowsPath;

// The commands take paths as typed, with '/' as well as backslashes between the names.
constexpr auto kSeparators = platform::PathSeparators::BackslashOrSlash;

platform::MachineRoot& machineOf(CommandCall& call) {
    return call.context.registry.machine();
}

// What a Copy line means: the source files it matches and where each goes.
struct CopyPlan {
    std::vector<std::string> sources;  // Windows paths
    std::string target;                // Windows path
    bool intoDirectory = false;        // each source goes in under its own name
};

CopyPlan planCopy(CommandCall& call) {
    const CommandState& state = call.state;
    platform::MachineRoot& machine = machineOf(call);
    CopyPlan plan;
    std::string pattern = state.absolutePath(call.line.arguments[0]);
    // "dir\." (and "dir\*.") stand for every file of the directory.
    const bool allFiles = pattern.ends_with('.');
    const std::string folder(platform::directoryPart(pattern, kSeparators));
    const std::string name =
        allFiles ? std::string("*") : std::string(platform::fileNamePart(pattern, kSeparators));
    if (name.find_first_of("*?") == std::string::npos) {
        // One file: the copy engine says so when it is missing.
        plan.sources.push_back(pattern);
    } else if (const auto host = machine.hostPath(folder)) {
        std::error_code error;
        for (fs::directory_iterator it(*host, error), end; !error && it != end;
             it.increment(error)) {
            std::error_code typeError;
            // The name in the root's code page, as the pattern is written.
            const std::string file(
                platform::fileNamePart(machine.windowsPath(it->path()), kSeparators));
            if (!it->is_directory(typeError) && copy::matchesWildcard(name, file))
                plan.sources.push_back(joinWindowsPath(folder, file));
        }
        std::ranges::sort(plan.sources);
    }
    plan.target = call.line.arguments.size() > 1 ? state.absolutePath(call.line.arguments[1])
                                                 : state.currentDirectory;
    const auto targetHost = machine.hostPath(plan.target);
    std::error_code error;
    plan.intoDirectory = call.line.arguments.size() < 2 || plan.target.empty() ||
                         platform::isWindowsPathSeparator(plan.target.back()) ||
                         (targetHost && fs::is_directory(*targetHost, error));
    return plan;
}

copy::CopyRequest copyRequest(CommandCall& call, const CopyPlan& plan, const std::string& source) {
    copy::CopyRequest request;
    request.source.name = platform::fileNamePart(source, kSeparators);
    request.source.path = source;
    request.source.file = machineOf(call).hostPath(source).value_or(fs::path());
    // A command copies files, never members of the product's cabinets.
    request.source.cabinetAllowed = false;
    request.destination =
        plan.intoDirectory
            ? joinWindowsPath(plan.target, platform::fileNamePart(source, kSeparators))
            : plan.target;
    request.flags.file = fileflag::kAlways | fileflag::kNoSizeWarning;
    return request;
}

bool renamePath(CommandCall& call, ActionServices& services, const std::string& from,
                const std::string& to) {
    platform::MachineRoot& machine = machineOf(call);
    const auto hostFrom = machine.hostPath(from);
    const auto hostTo = machine.hostPath(to);
    std::error_code error;
    const bool installing = call.direction == Direction::Install;
    if (hostFrom && hostTo) {
        // Windows never renames over an existing file: at installation that waits for the
        // next start, like a file in use.
        const bool blocked = fs::exists(fs::symlink_status(*hostTo, error)) ||
                             (installing && services.inUse.inUse(*hostFrom));
        if (!blocked) error = platform::journaled::rename(*hostFrom, *hostTo);
        if (!blocked && !error) return true;
        if (installing && (blocked || copy::refusedBySystem(error)) &&
            services.inUse.scheduleAtRestart(from, to))
            return true;
        // Undoing a rename whose file is gone already leaves nothing to put back.
        if (call.undo && !fs::exists(fs::symlink_status(*hostFrom, error))) return true;
    }
    call.context.messages.show(messages::kCannotRename, {from, to});
    return false;
}

}  // namespace

bool copyFiles(CommandCall& call, ActionServices& services) {
    const CopyPlan plan = planCopy(call);
    for (const std::string& source : plan.sources) {
        const copy::CopyRequest request = copyRequest(call, plan, source);
        if (!(call.undo ? services.copier.uninstall(request) : services.copier.copy(request)))
            return false;
    }
    // The sources are gone by now: a target that names a file still goes.
    if (call.undo && plan.sources.empty() && !plan.intoDirectory) {
        copy::CopyRequest request;
        request.destination = plan.target;
        request.flags.file = fileflag::kAlways | fileflag::kNoSizeWarning;
        return services.copier.uninstall(request);
    }
    return true;
}

bool deleteFiles(CommandCall& call, ActionServices& services) {
    return services.removal.deleteFiles(call.state.absolutePath(call.line.arguments[0]),
                                        call.direction);
}

bool renameFile(CommandCall& call, ActionServices& services) {
    const auto& arguments = call.line.arguments;
    if (arguments.size() < 2) {
        call.context.messages.show(messages::kInvalidParameter, {call.line.text});
        return true;
    }
    const std::string oldPath = call.state.absolutePath(arguments[0]);
    // A bare new name stays in the old file's directory.
    const bool bare = arguments[1].find_first_of("\\/:") == std::string::npos;
    const std::string newPath =
        bare ? joinWindowsPath(platform::directoryPart(oldPath, kSeparators), arguments[1])
             : call.state.absolutePath(arguments[1]);
    return call.undo ? renamePath(call, services, newPath, oldPath)
                     : renamePath(call, services, oldPath, newPath);
}

}  // namespace kestrel::setup::commands
