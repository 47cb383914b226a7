// The buttons and keys that move the top of the tree or change the settings file, and the
// two information dialogs.
#include "CommandLineSwitches.h"
#include "window/BrowserController.h"
#include "window/DialogStates.h"
#include "window/TreeNames.h"

namespace kestrel::browser {

void BrowserController::keyPressed(int keyCode) {
    if (keyCode == kKeypadPlusKey) {
        listSelected();
        return;
    }
    TreeItem* top = tree_.top();
    if (keyCode != kBackspaceKey || top == nullptr || tree_.selected() != top ||
        top->text() == kRootName)
        return;
    // One level up in the tree shown, whatever tree the saved start context belongs to.
    openAndList(treeField_, parentContext(top->text()));
}

void BrowserController::gotoStartContext() {
    if (!enabled(Button::GotoStartContext)) return;
    if (!app_.savedStartTree.empty() && !app_.savedStartContext.empty()) {
        openAndList(app_.savedStartTree, app_.savedStartContext);
        return;
    }
    ui_.showMessage("Start Context cann't be set, because no values have been set!");
    listSelected();
}

void BrowserController::changeStartContext() {
    if (!enabled(Button::ChangeStartContext) || tree_.selected() == nullptr) return;
    ChangeContextDialogState dialog(typedFullName(*tree_.selected()));
    if (ui_.runChangeContextDialog(dialog) && dialog.changed())
        openAndList(treeField_, dialog.field);
}

void BrowserController::saveStartContext() {
    if (!enabled(Button::SaveStartContext) || tree_.selected() == nullptr) return;
    SaveContextDialogState dialog{typedFullName(*tree_.selected())};
    if (ui_.runSaveContextDialog(dialog)) {
        std::string_view tree = dialog.value.empty() ? std::string_view() : treeField_;
        writeSettings({{kStartContextKey, dialog.value}, {kStartTreeKey, tree}});
    }
    readSavedPair();
}

void BrowserController::askInventoryServer(bool mayWriteSettings) {
    InventoryServerDialogState dialog{inventoryServerField_};
    InventoryServerAnswer answer = ui_.runInventoryServerDialog(dialog);
    if (answer == InventoryServerAnswer::Cancel || dialog.server.empty()) return;
    inventoryServerField_ = dialog.server;
    app_.inventoryServer = dialog.server;
    if (answer == InventoryServerAnswer::UseAndSave && mayWriteSettings)
        writeSettings({{kInventoryServerKey, dialog.server}});
    if (view_ != nullptr) view_->fieldsChanged();
}

void BrowserController::inventoryServerButton() {
    if (enabled(Button::InventoryServer)) askInventoryServer(true);
}

void BrowserController::help() {
    if (enabled(Button::Help)) ui_.showHelp(commandLineHelp());
}

void BrowserController::about() {
    ui_.showAbout(std::string(kVersionText));
}

void BrowserController::writeSettings(
    std::initializer_list<std::pair<std::string_view, std::string_view>> values) {
    if (!settings_.write(values))
        ui_.showMessage("The settings couldn't be written to '" + settings_.path().string() + "'!");
}

void BrowserController::readSavedPair() {
    app_.savedStartContext = settings_.read(kStartContextKey);
    app_.savedStartTree = settings_.read(kStartTreeKey);
}

}  // namespace kestrel::browser
