#include "ops/StartupFileOperation.h"

#include "messages/MessageStrings.h"
#include "ops/FileChange.h"
#include "ops/StartupFileEdits.h"
#include "platform/AtomicFile.h"
#include "platform/JournaledFiles.h"
#include "platform/Places.h"

namespace kestrel::setup {

namespace fs = std::filesystem;

std::string StartupFileOperation::file(OperationContext& context) const {
    if (!target_.configSys) return target_.file;
    const platform::MachineRoot& machine = context.registry.machine();
    if (machine.windowsVersion().isNT()) return machine.systemDirectory() + "\\CONFIG.NT";
    // A product may bring its own CONFIG.SYS to edit in its directory.
    const std::string app = context.variables.value("App");
    if (!app.empty()) {
        const std::string own = app + "Config.sys";
        const auto host = machine.hostPath(own);
        std::error_code error;
        if (host && fs::is_regular_file(*host, error)) return own;
    }
    return "c:\\config.sys";
}

StartupLine StartupFileOperation::onRoot(OperationContext& context, const StartupLine& line) const {
    if (!target_.shortPaths || line.kind != StartupLine::Kind::Path) return line;
    StartupLine shortened = line;
    for (std::string& directory : shortened.items) {
        directory = context.registry.machine().shortPath(directory);
    }
    return shortened;
}

bool StartupFileOperation::write(OperationContext& context, const std::string& file,
                                 const fs::path& host, const std::string& text,
                                 bool existed) const {
    const bool written = changeKeepingAttributes(host, [&] {
        if (!host.parent_path().empty() && platform::ensureDirectory(host.parent_path())) {
            return false;
        }
        return !platform::writeFileAtomically(host, text);
    });
    if (written) return true;
    context.messages.show(existed ? messages::kCannotWriteFile : messages::kCannotCreateFile,
                          {file});
    return false;
}

bool StartupFileOperation::run(OperationContext& context, Direction direction) {
    const RunState& run = context.run;
    if (target_.configSys && (run.admin || run.commandList || run.perUserPart)) return true;
    const bool installing = direction == Direction::Install;
    if (refusedLine_) {
        if (installing) context.messages.show(messages::kInvalidConfigSysLine, {*refusedLine_});
        return !installing;
    }
    const std::string windowsFile = file(context);
    context.ui().setProgressText(context.script.displayName(), windowsFile);
    const std::optional<fs::path> host = context.registry.machine().hostPath(windowsFile);
    std::error_code error;
    std::error_code unknown;  // neither there nor missing: a link that loops, a bad folder
    const bool existed = host && fs::exists(*host, unknown);
    const bool folder = host && fs::is_directory(*host, error);
    // What is no file holds nothing of ours to take away.
    if (!installing && (!existed || folder)) return true;
    if (!host || folder) {
        context.messages.show(messages::kCannotCreateFile, {windowsFile});
        return false;
    }
    std::string original;
    if (existed || unknown) {
        std::optional<std::string> content = platform::readWholeFile(*host);
        if (!content) {
            context.messages.show(messages::kCannotReadFile, {windowsFile});
            return false;
        }
        original = std::move(*content);
    }

    TextFileLines text = TextFileLines::parse(original);
    bool cancelled = false;
    const std::size_t count = lines_.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && context.ui().cancelRequested()) {
            context.run.abort = true;
            cancelled = true;
            break;
        }
        const StartupLine& line = lines_[installing ? i : count - 1 - i];
        if (!installing && line.deletes()) continue;
        applyStartupLine(text, onRoot(context, line), !installing || line.deletes());
    }

    const std::string edited = text.serialise();
    const bool changed = edited != original;
    if (changed && target_.restartOnChange) context.run.restartComputer = true;
    if (!installing && changed && edited.empty()) {
        if (platform::journaled::removeFile(*host)) {
            context.messages.show(messages::kCannotWriteFile, {windowsFile});
            return false;
        }
        removeEmptyFolders(context.registry.machine(), host->parent_path());
        return !cancelled;
    }
    // A missing CONFIG.SYS is made, empty if need be, when a section is installed.
    const bool make = !existed && target_.configSys;
    if ((changed || make) && !write(context, windowsFile, *host, edited, existed)) return false;
    return !cancelled;
}

}  // namespace kestrel::setup
