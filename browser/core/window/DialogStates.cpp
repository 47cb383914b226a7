#include "window/DialogStates.h"

#include "directory/CNDSAccess.h"
#include "window/TreeNames.h"

namespace kestrel::browser {

std::string loginFailureText(const std::string& tree, const std::string& user) {
    return "Couldn't login to tree '" + tree + "' as user '" + user + "'!";
}

bool LoginDialogState::login(const std::string& user, const std::string& password) {
    bool done = false;
    {
        WaitCursor wait(ui_);
        done = access_.Login(tree_, user, password) == 0;
    }
    if (!done) ui_.showMessage(loginFailureText(tree_, user));
    loginEnabled_ = !done;
    okEnabled_ = done;
    cancelEnabled_ = true;
    return done;
}

void ChangeContextDialogState::up() {
    field = parentContext(field);
}

void ChangeContextDialogState::root() {
    field = std::string(kRootName);
}

}  // namespace kestrel::browser
