#include "ops/ShellLinkOperation.h"

#include "messages/MessageStrings.h"
#include "platform/EmptyFolders.h"
#include "platform/JournaledFiles.h"
#include "platform/ShellLink.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup {

namespace fs = std::filesystem;

namespace {

// The show values of the system; the link format knows normal, maximized and minimized.
platform::ShowCommand showCommandOf(std::uint32_t value) {
    switch (value) {
        case 3:
            return platform::ShowCommand::Maximized;
        case 2:
        case 6:
        case 7:
            return platform::ShowCommand::MinimizedNoActive;
        default:
            return platform::ShowCommand::Normal;
    }
}

// Creates the folder with its parents; 5507 when it cannot be made.
bool createFolder(OperationContext& context, const std::string& windowsFolder) {
    const auto host = context.registry.machine().hostPath(windowsFolder);
    std::error_code ec;
    if (host) (void)platform::journaled::createFolders(*host);
    if (host && fs::is_directory(*host, ec)) return true;
    (void)context.messages.show(messages::kCannotCreateDirectory, {windowsFolder});
    return false;
}

}  // namespace

std::string programsFolder(const OperationContext& context) {
    return context.expander().expand("%Programs%");
}

std::vector<fs::path> keptFolderHostPaths(const OperationContext& context) {
    const platform::MachineRoot& machine = context.registry.machine();
    std::vector<fs::path> folders = machine.keptFolders();
    // The run may work for another user, whose folders the variables hold.
    for (const char* name : {"Desktop", "Programs", "StartMenu", "Startup", "UserDesktop",
                             "UserPrograms", "UserStartMenu", "UserStartup"}) {
        if (auto host = machine.hostPath(context.variables.value(name))) {
            folders.push_back(std::move(*host));
        }
    }
    return folders;
}

bool createLinkFile(OperationContext& context, const std::string& path,
                    const platform::ShellLink& link) {
    // A link path without a backslash ("C:name.lnk") has no folder part; the folder asked for
    // is then the path itself, never an empty name.
    const bool hasFolder = path.find('\\') != std::string::npos;
    if (!createFolder(context, hasFolder ? std::string(platform::directoryPart(path)) : path))
        return false;
    const auto host = context.registry.machine().hostPath(path);
    if (host && !platform::writeShellLink(*host, link)) return true;
    return context.messages.show(messages::kCannotCreateLink, {path}) == buttons::kIgnore;
}

bool ShellLinkOperation::applies(const OperationContext& context) const {
    return linkApplies(entry_.scope, context.run, context.settings.commonShellLinks);
}

void ShellLinkOperation::showShellFolder(OperationContext& context) {
    const std::string& setting = context.settings.showShellFolder;
    if (context.run.silent || setting.empty() || !services_.takeShellFolderTurn()) return;
    const std::string windowsFolder = locationPath(setting, programsFolder(context));
    if (!createFolder(context, windowsFolder)) return;
    const auto host = context.registry.machine().hostPath(windowsFolder);
    if (auto opened = services_.openFolder()(*host); !opened) {
        context.messages.note("Cannot show the folder %s:\n%s", {windowsFolder, opened.error()});
    }
}

bool ShellLinkOperation::install(OperationContext& context) {
    if (!applies(context)) return true;
    if (trimBlanks(entry_.location).empty() || trimBlanks(entry_.target).empty()) {
        return context.messages.show(messages::kCannotCreateLink, {entry_.location}) ==
               buttons::kIgnore;
    }
    showShellFolder(context);
    platform::MachineRoot& machine = context.registry.machine();
    const LinkTarget target = resolveLinkTarget(entry_, machine, services_.findProgram());
    // Decided before the folder is made: a link left out leaves no empty folder behind.
    if (!target.found && !context.settings.createUnresolvableShellLinks) return true;

    const platform::CodePage& codePage = platform::ansiCodePage(machine.registry());
    platform::ShellLink link;
    link.target = codePage.toUtf8(target.target);
    link.arguments = codePage.toUtf8(entry_.arguments);
    link.workingDirectory = codePage.toUtf8(target.workingDirectory);
    link.description = codePage.toUtf8(entry_.description);
    link.iconLocation = codePage.toUtf8(target.iconFile);
    link.iconIndex = entry_.iconIndex.value_or(0);
    if (entry_.showCommand) link.showCommand = showCommandOf(*entry_.showCommand);
    link.hotKey = entry_.hotKey;
    return createLinkFile(context, linkFilePath(entry_.location, programsFolder(context)), link);
}

bool ShellLinkOperation::uninstall(OperationContext& context) {
    if (!applies(context) || trimBlanks(entry_.location).empty()) return true;
    const platform::MachineRoot& machine = context.registry.machine();
    const std::string path = linkFilePath(entry_.location, programsFolder(context));
    std::optional<fs::path> host = machine.hostPath(path);
    std::error_code ec;
    if (!host || !fs::is_regular_file(*host, ec)) {
        host = machine.hostPath(path.substr(0, path.size() - 4) + ".pif");
    }
    // What is gone already is no failure: uninstallation takes away what it finds.
    if (!host || !fs::is_regular_file(*host, ec)) return true;
    if (platform::journaled::removeFile(*host)) {
        (void)context.messages.show(messages::kCannotDeleteFile, {machine.windowsPath(*host)});
        return true;
    }
    platform::removeEmptyFolders(host->parent_path(), keptFolderHostPaths(context));
    return true;
}

}  // namespace kestrel::setup
