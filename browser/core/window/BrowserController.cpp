// Set-up of the main window, the tree and the button states.
#include "window/BrowserController.h"

#include "window/DialogStates.h"
#include "window/TreeNames.h"

namespace kestrel::browser {

BrowserController::BrowserController(CKestrelscopeApp& app, Ui& ui, SettingsFile settings,
                                     ClientLibraryNames libraries)
    : app_(app),
      ui_(ui),
      settings_(std::move(settings)),
      libraries_(std::move(libraries)),
      access_(std::make_unique<CNDSAccess>(ui_, libraries_)) {}

BrowserController::~BrowserController() = default;

void BrowserController::setView(MainView* view) {
    view_ = view;
    tree_.setObserver(view);
}

CNDSAccess& BrowserController::renewAccess() {
    access_ = std::make_unique<CNDSAccess>(ui_, libraries_);
    // A fresh context starts on the client's default tree, which need not be the one shown.
    if (treeField_ != kNoConnection && !treeField_.empty())
        access_->SetTreeAndContext(treeField_, currentStartContext_);
    return *access_;
}

TreeItem* BrowserController::actionTarget(Button button) const {
    return enabled(button) ? tree_.selected() : nullptr;
}

void BrowserController::setUp() {
    bool loggedIn = access_->IsAuthenticated() != 0;
    std::string user;
    if (!app_.startTree.empty() && access_->IsTreeAuthenticated(app_.startTree, user) == 0) {
        if (ui_.askYesNo("You are NOT authenticated to the preselected NDS tree '" +
                         app_.startTree + "'!\nWould you like to Login?")) {
            if (offerLogin()) {
                loggedIn = true;
            } else {
                app_.startTree.clear();
                // The start context belongs to the tree just refused: opened in another tree
                // it would only show as an empty tree.
                if (!app_.startContext.empty()) loggedIn = false;
            }
        } else {
            app_.startTree.clear();
            app_.startContext.clear();
        }
    }
    if (!app_.inventoryServer.empty()) inventoryServerField_ = app_.inventoryServer;

    if (loggedIn && app_.startTree.empty()) {
        // An unbound client cannot name its tree; that is no connection either.
        if (auto current = access_->GetTreeName())
            app_.startTree = *current;
        else
            loggedIn = false;
    }
    if (loggedIn) {
        treeField_ = app_.startTree;
        if (app_.startContext.empty()) app_.startContext = kRootName;
        app_.savedStartTree = app_.startTree;
        app_.savedStartContext = app_.startContext;
        openAndList(app_.startTree, app_.startContext);
    }
    app_.savedStartTree = app_.startTree;
    app_.savedStartContext = app_.startContext;
    if (!loggedIn)
        showNoConnection();
    else
        refreshButtons();
}

void BrowserController::showNoConnection() {
    treeField_ = kNoConnection;
    remembered_ = nullptr;
    tree_.clear();
    refreshButtons();
}

bool BrowserController::loggedOutOfShownTree() {
    if (treeField_ == kNoConnection || treeField_.empty()) return false;
    std::string user;
    return access_->IsTreeAuthenticated(treeField_, user) == 0;
}

bool BrowserController::offerLogin() {
    LoginDialogState dialog(*access_, ui_, app_.startTree);
    return ui_.runLoginDialog(dialog) && dialog.loggedIn();
}

void BrowserController::open(const std::string& tree, const std::string& context) {
    access_->SetTreeAndContext(tree, context);
    treeField_ = access_->GetTreeName().value_or(tree);
    app_.startTree = treeField_;
    app_.startContext = context;
    currentStartContext_ = context;

    remembered_ = nullptr;
    TreeItem& top = tree_.reset(context, topItemImage(context, access_->IsAuthenticated() != 0));
    tree_.select(&top);
    refreshButtons();
}

void BrowserController::openAndList(const std::string& tree, const std::string& context) {
    open(tree, context);
    listSelected();
}

bool BrowserController::listSelected() {
    TreeItem* item = tree_.selected();
    if (item == nullptr || item == remembered_ || item->childCount() != 0) return false;
    bool listed = false;
    {
        WaitCursor wait(ui_);
        std::vector<ListEntry> entries;
        listed = access_->ListContainer(containerName(*item, currentStartContext_), entries);
        if (listed) tree_.insertSorted(*item, entries);
        tree_.expand(*item);
    }
    remembered_ = item;
    // A logout elsewhere (another program, another window) ends what this tree may show.
    if (!listed && loggedOutOfShownTree()) {
        ui_.showMessage(notLoggedInText(treeField_));
        showNoConnection();
    }
    return true;
}

void BrowserController::select(TreeItem* item) {
    tree_.select(item);
    refreshButtons();
}

void BrowserController::refreshButtons() {
    const TreeItem* item = tree_.selected();
    Selection selection = item == nullptr || isContainerText(item->text()) ? Selection::Container
                                                                           : Selection::Workstation;
    buttons_ = buttonStates(treeField_ != kNoConnection, selection, app_.switches);
    if (view_ != nullptr) view_->fieldsChanged();
}

}  // namespace kestrel::browser
