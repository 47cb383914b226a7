#include "DialogStates.h"

#include "CNDSAccess.h"
#include "TreeNames.h"

namespace kestrel::browser {

bool LoginDialogState::login(const std::string& user, const std::string& password) {
    bool done = false;
    {
        WaitCursor wait(ui_);
        done = access_.Login(tree_, user, password) == 0;
    }
    if (!done) ui_.showMessage("Couldn't login to tree '" + tree_ + "' as user '" + user + "'!");
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
