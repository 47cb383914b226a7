#include "window/TreeDialogState.h"

#include "Ui.h"
#include "directory/CNDSAccess.h"
#include "window/DialogStates.h"

namespace kestrel::browser {

void TreeDialogState::open() {
    {
        WaitCursor wait(ui_);
        trees_.clear();
        access_.ScanTrees(trees_);
    }
    chosen_ = 0;
    testChosen();
}

void TreeDialogState::choose(std::size_t index) {
    if (index >= trees_.size()) return;
    chosen_ = index;
    testChosen();
}

std::string TreeDialogState::tree() const {
    return chosen_ < trees_.size() ? trees_[chosen_] : std::string();
}

void TreeDialogState::testChosen() {
    std::string user;
    loggedIn_ = !trees_.empty() && access_.IsTreeAuthenticated(tree(), user) != 0;
    user_ = loggedIn_ ? user : std::string();
}

bool TreeDialogState::login(const std::string& user, const std::string& password) {
    if (!loginEnabled()) return false;
    user_ = user;
    {
        WaitCursor wait(ui_);
        loggedIn_ = access_.Login(tree(), user, password) == 0;
    }
    if (!loggedIn_) ui_.showMessage(loginFailureText(tree(), user));
    return loggedIn_;
}

void TreeDialogState::logout() {
    if (!logoutEnabled()) return;
    WaitCursor wait(ui_);
    loggedIn_ = access_.Logout(tree()) != 0;
}

}  // namespace kestrel::browser
