// The buttons that act on the selected object: once a button may act, the controller hands
// the selection to the workstation actions, with what only the window knows (the tree shown,
// the inventory server, the directory layer it shares).
#include "window/BrowserController.h"
#include "window/TreeNames.h"

namespace kestrel::browser {

SelectedObject BrowserController::selectedObject(const TreeItem& item) const {
    std::string typed = typedFullName(item);
    std::string typeless = typelessName(typed);
    return {std::move(typed), std::move(typeless), treeField_};
}

void BrowserController::startFunction(WorkstationFunction function) {
    const TreeItem* item = actionTarget(functionButton(function));
    if (item == nullptr) return;
    workstation_.startFunction(function, selectedObject(*item), [this] {
        // Asked for this run only: this path never writes the settings file.
        if (inventoryServerField_.empty()) askInventoryServer(false);
        return inventoryServerField_;
    });
}

void BrowserController::createShortcut() {
    if (const TreeItem* item = actionTarget(Button::CreateShortcut))
        workstation_.createShortcut(selectedObject(*item));
}

void BrowserController::workstationInfo() {
    if (const TreeItem* item = actionTarget(Button::WorkstationInfo))
        workstation_.showInfo(renewAccess(), selectedObject(*item));
}

void BrowserController::workstationInventory() {
    if (const TreeItem* item = actionTarget(Button::WorkstationInventory))
        workstation_.showInventory(renewAccess(), selectedObject(*item));
}

void BrowserController::ipPing() {
    if (const TreeItem* item = actionTarget(Button::IpPing))
        workstation_.ipPing(renewAccess(), selectedObject(*item));
}

}  // namespace kestrel::browser
