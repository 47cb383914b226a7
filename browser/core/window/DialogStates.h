// The rules of the browser's dialogs, held apart from their windows so that the Qt dialogs
// only mirror them and tests can press their buttons without a display. The shortcut
// dialog's rule stays with the shortcuts (workstation/DesktopShortcut.h).
#pragma once

#include <string>

namespace kestrel::browser {

class CNDSAccess;
class Ui;

// What both login dialogs say when a login fails.
std::string loginFailureText(const std::string& tree, const std::string& user);

// The start-up login dialog for one tree: Login enabled and OK disabled until a login
// succeeds; Logout is never offered here. The password only passes through.
class LoginDialogState {
  public:
    LoginDialogState(CNDSAccess& access, Ui& ui, std::string tree)
        : access_(access), ui_(ui), tree_(std::move(tree)) {}

    const std::string& tree() const { return tree_; }
    // The Login button; true when the login succeeded.
    bool login(const std::string& user, const std::string& password);

    bool loginEnabled() const { return loginEnabled_; }
    bool okEnabled() const { return okEnabled_; }
    bool cancelEnabled() const { return cancelEnabled_; }
    static bool logoutEnabled() { return false; }
    bool loggedIn() const { return okEnabled_; }

  private:
    CNDSAccess& access_;
    Ui& ui_;
    std::string tree_;
    bool loginEnabled_ = true;
    bool okEnabled_ = false;
    bool cancelEnabled_ = true;
};

// Of the three kinds of server name offered, only an IP address can be chosen.
enum class InventoryServerKind { IpAddress, DnsName, DirectoryName };

struct InventoryServerDialogState {
    std::string server;  // the entry, preset with the current server
    InventoryServerKind kind = InventoryServerKind::IpAddress;

    static bool selectable(InventoryServerKind choice) {
        return choice == InventoryServerKind::IpAddress;
    }
};

// Shows a container's typed full name read-only; "CLEAR" empties it so that "SAVE" clears
// the saved start context.
struct SaveContextDialogState {
    std::string value;
    void clear() { value.clear(); }
};

// The edit field of the change-context dialog with its ">" (one level up) and "[Root]"
// buttons; the entered text is taken as it is.
struct ChangeContextDialogState {
    explicit ChangeContextDialogState(std::string name) : shown(name), field(std::move(name)) {}

    void up();
    void root();
    bool changed() const { return field != shown; }

    const std::string shown;  // the name first shown
    std::string field;
};

// "Kestrelscope: Search Workstation Dialog": a piece of the name, or "*" for every one.
struct SearchDialogState {
    std::string pattern;
};

}  // namespace kestrel::browser
