// The functions that act on the selected workstation (or, for the inventory query, the
// selected container): starting the remote-management programs, desktop shortcuts, the
// detail dialogs and IP Ping.
#include <filesystem>
#include <system_error>

#include "platform/Places.h"
#include "platform/PrivateFiles.h"
#include "platform/Process.h"
#include "window/BrowserController.h"
#include "window/TreeNames.h"
#include "workstation/DesktopShortcut.h"
#include "workstation/WorkstationDetails.h"

namespace kestrel::browser {

void BrowserController::startFunction(WorkstationFunction which) {
    const TreeItem* item = actionTarget(functionButton(which));
    if (item == nullptr) return;
    const WorkstationFunctionInfo& function = workstationFunction(which);
    const std::string name = typelessName(typedFullName(*item));
    std::optional<std::string_view> server;
    if (function.needsInventoryServer) {
        // Asked for this run only: this path never writes the settings file.
        if (inventoryServerField_.empty()) askInventoryServer(false);
        if (inventoryServerField_.empty()) {
            ui_.showMessage(
                "You must specify the ZENworks Inventory Database Server before querying the "
                "Inventory!");
            return;
        }
        server = inventoryServerField_;
    }
    // Started and left alone: once running, the program reports its own troubles.
    const platform::StartError error = platform::startProgram({workstationCommandLine(
        function, {name, treeField_, server}, CommandLineForm::WithProgram)});
    if (error != platform::StartError::None)
        ui_.showMessage(std::string(function.program) + " couldn't be started: " +
                        std::string(platform::startErrorText(error)) + "!");
}

void BrowserController::createShortcut() {
    const TreeItem* item = actionTarget(Button::CreateShortcut);
    if (item == nullptr) return;
    const std::string name = typelessName(typedFullName(*item));
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
        shortcutLink(function, startDirectory, {name, treeField_, std::nullopt});
    if (const std::error_code written =
            platform::writeShellLink(folder / fileName, link, platform::kOwnerOnlyFile)) {
        ui_.showMessage(shortcutFailedText(function, fileName, written.message()));
        return;
    }
    ui_.showMessage(shortcutCreatedText(function, name));
}

void BrowserController::workstationInfo() {
    const TreeItem* item = actionTarget(Button::WorkstationInfo);
    if (item == nullptr) return;
    const std::string typed = typedFullName(*item);
    ui_.showWorkstationInfo(readWorkstationInfo(renewAccess(), typed));
}

void BrowserController::workstationInventory() {
    const TreeItem* item = actionTarget(Button::WorkstationInventory);
    if (item == nullptr) return;
    const std::string typed = typedFullName(*item);
    ui_.showWorkstationInventory(readWorkstationInventory(renewAccess(), typed));
}

void BrowserController::ipPing() {
    const TreeItem* item = actionTarget(Button::IpPing);
    if (item == nullptr) return;
    std::vector<std::string> addresses;
    renewAccess().ReadStringListAttr("WM:Network Address", addresses, typedFullName(*item));
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
