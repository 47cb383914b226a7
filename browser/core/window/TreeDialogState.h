// The rules of the tree dialog behind the NDS tree button: the trees on the network, whether
// the workstation is logged in to the chosen one, login and logout. The Qt dialog mirrors
// these fields; the password only passes through.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kestrel::browser {

class CNDSAccess;
class Ui;

class TreeDialogState {
  public:
    TreeDialogState(CNDSAccess& access, Ui& ui) : access_(access), ui_(ui) {}

    // Scans the trees and chooses the first one found.
    void open();
    // Another tree of the list; its login state is looked up again.
    void choose(std::size_t index);
    // The Login button; true when the login succeeded.
    bool login(const std::string& user, const std::string& password);
    // The Logout button.
    void logout();

    const std::vector<std::string>& trees() const { return trees_; }
    std::size_t chosenIndex() const { return chosen_; }
    // The chosen tree; empty when no tree was found.
    std::string tree() const;
    // What the User field shows: the logged-in user, or what was typed for a login.
    const std::string& user() const { return user_; }
    bool loggedIn() const { return loggedIn_; }

    // The two field states, and the buttons that need a tree at all.
    bool userEnabled() const { return !loggedIn_; }
    bool passwordEnabled() const { return !loggedIn_; }
    bool loginEnabled() const { return !loggedIn_ && !trees_.empty(); }
    bool logoutEnabled() const { return loggedIn_ && !trees_.empty(); }
    bool okEnabled() const { return !trees_.empty(); }

  private:
    void testChosen();

    CNDSAccess& access_;
    Ui& ui_;
    std::vector<std::string> trees_;
    std::size_t chosen_ = 0;
    std::string user_;
    bool loggedIn_ = false;
};

}  // namespace kestrel::browser
