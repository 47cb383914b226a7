#include "workstation/WorkstationActions.h"

#include <filesystem>
#include <system_error>

#include "directory/CNDSAccess.h"
#include "platform/Places.h"
#include "platform/PrivateFiles.h"
#include "platform/Process.h"
#include "workstation/DesktopShortcut.h"
#include "workstation/WorkstationDetails.h"

namespace kestrel::browser {

void WorkstationActions::startFunction(WorkstationFunction which, const SelectedObject& object,
                                       const std::function<std::string()>& inventoryServer) {
    const WorkstationFunctionInfo& function = workstationFunction(which);
    std::string server;
    if (function.needsInventoryServer) {
        server = inventoryServer();
        if (server.empty()) {
            ui_.showMessage(
                "You must specify the ZENworks Inventory Database Server before querying the "
                "Inventory!");
            return;
        }
    }
    const WorkstationTarget target{
        object.typelessName, object.tree,
        function.needsInventoryServer ? std::optional<std::string_view>(server) : std::nullopt};
    // Started and left alone: once running, the program reports its own troubles.
    const platform::StartError error = platform::startProgram(
        {workstationCommandLine(function, target, CommandLineForm::WithProgram)});
    if (error != platform::StartError::None)
        ui_.showMessage(std::string(function.program) + " couldn't be started: " +
                        std::string(platform::startErrorText(error)) + "!");
}

void WorkstationActions::createShortcut(const SelectedObject& object) {
    const std::string& name = object.typelessName;
    ShortcutDialogState dialog;
    if (!ui_.runShortcutDialog(dialog)) return;

    // An existing folder is fine, and one that cannot be made shows when the link is saved.
    std::filesystem::path folder = platform::desktopDir() / kShortcutsFolder;
    platform::ensurePrivateFolder(folder, platform::ExistingFolder::Keep);
    std::error_code error;
    const std::filesystem::path startDirectory = std::filesystem::current_path(error);
    if (!dialog.chosen) return;

    const WorkstationFunctionInfo& function = workstationFunction(*dialog.chosen);
    const std::string fileName = shortcutFileName(name);
    // The link names its program by the start folder, so without that folder there is no link.
    if (error) {
        ui_.showMessage(shortcutFailedText(
            function, fileName, "the current folder cannot be read (" + error.message() + ")"));
        return;
    }
    folder /= shortcutFolder(function);
    platform::ensurePrivateFolder(folder, platform::ExistingFolder::Keep);
    const platform::ShellLink link =
        shortcutLink(function, startDirectory, {name, object.tree, std::nullopt});
    if (const std::error_code written =
            platform::writeShellLink(folder / fileName, link, platform::kOwnerOnlyFile)) {
        ui_.showMessage(shortcutFailedText(function, fileName, written.message()));
        return;
    }
    ui_.showMessage(shortcutCreatedText(function, name));
}

void WorkstationActions::showInfo(CNDSAccess& access, const SelectedObject& object) {
    ui_.showWorkstationInfo(readWorkstationInfo(access, object.typedName));
}

void WorkstationActions::showInventory(CNDSAccess& access, const SelectedObject& object) {
    ui_.showWorkstationInventory(readWorkstationInventory(access, object.typedName));
}

void WorkstationActions::ipPing(CNDSAccess& access, const SelectedObject& object) {
    std::vector<std::string> addresses;
    access.ReadStringListAttr("WM:Network Address", addresses, object.typedName);
    const std::optional<std::string> address = pingTarget(addresses);
    if (!address) return;
    std::string message;
    {
        WaitCursor wait(ui_);
        message = pingMessage(*echoProbes_(), *address);
    }
    ui_.showMessage(message);
}

}  // namespace kestrel::browser
