// The two ways to another part of the directory besides the start context: the search for
// a workstation, which re-roots the tree at the workstation's container, and the tree dialog.
#include "window/BrowserController.h"
#include "window/DialogStates.h"
#include "window/TreeDialogState.h"
#include "window/TreeNames.h"
#include "window/WorkstationSearch.h"

namespace kestrel::browser {

std::string notLoggedInText(std::string_view tree) {
    return "You aren't logged in to tree '" + std::string(tree) + "'!";
}

void BrowserController::searchWorkstation() {
    const TreeItem* item = actionTarget(Button::SearchWorkstation);
    if (item == nullptr) return;
    const std::string base = typedFullName(*item);
    CNDSAccess& access = renewAccess();
    SearchDialogState dialog;
    if (!ui_.runSearchDialog(dialog)) return;

    std::vector<std::string> found;
    {
        WaitCursor wait(ui_);
        access.Search("Workstation", found, dialog.pattern, base);
    }
    if (found.empty()) {
        ui_.showMessage(noSearchMatchText(dialog.pattern, base));
        return;
    }
    // The first hit only. It lies in the tree that was searched, the one shown, whatever
    // tree the saved start context belongs to.
    const SearchHit hit = locateSearchHit(found.front(), base);
    openAndList(treeField_, hit.container);
    TreeItem& top = *tree_.top();
    for (std::size_t i = 0; i < top.childCount(); ++i) {
        if (top.child(i).text() == hit.commonName) {
            select(&top.child(i));
            break;
        }
    }
}

void BrowserController::chooseTree() {
    if (!enabled(Button::NdsTree)) return;
    TreeDialogState dialog(*access_, ui_);
    dialog.open();
    const bool chosen = ui_.runTreeDialog(dialog);
    // A logout in the dialog may have ended the connection to the tree shown.
    if (loggedOutOfShownTree()) showNoConnection();
    if (!chosen) return;
    const std::string tree = dialog.tree();
    if (tree.empty() || tree == treeField_) return;
    std::string user;
    if (access_->IsTreeAuthenticated(tree, user) == 0) {
        ui_.showMessage(notLoggedInText(tree));
        return;
    }
    // Opened at its root and left for the person to expand.
    open(tree, std::string(kRootName));
}

}  // namespace kestrel::browser
