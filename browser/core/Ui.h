// How the browser core talks to the person. The Qt front end renders these; tests answer
// them from a script. Dialogs get a state object from the core that holds their rules; the
// front end shows it, feeds the person's entries into it and mirrors its enabled flags.
#pragma once

#include <string>

namespace kestrel::browser {

class LoginDialogState;
struct InventoryServerDialogState;
struct SaveContextDialogState;
struct ChangeContextDialogState;
struct ShortcutDialogState;
struct SearchDialogState;
class TreeDialogState;
struct WorkstationInfo;
struct WorkstationInventory;

enum class InventoryServerAnswer { UseNow, UseAndSave, Cancel };

class Ui {
  public:
    virtual ~Ui() = default;

    // A plain message box: the text, an OK button, no icon, the program's name as caption.
    virtual void showMessage(const std::string& text) = 0;
    // The same with Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;

    // Shown while a directory call blocks the window (listing, search, login, ping).
    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;

    // The start-up login dialog; true when it was closed with OK, which only a successful
    // login enables.
    virtual bool runLoginDialog(LoginDialogState& dialog) = 0;
    // "Use Now", "Use / Save" or Cancel; the entry is left in dialog.server.
    virtual InventoryServerAnswer runInventoryServerDialog(InventoryServerDialogState& dialog) = 0;
    // True when closed with "SAVE"; dialog.value is what the field shows then.
    virtual bool runSaveContextDialog(SaveContextDialogState& dialog) = 0;
    // True when closed with "SET"; dialog.field is what the person left in the field.
    virtual bool runChangeContextDialog(ChangeContextDialogState& dialog) = 0;

    // True when closed with OK; dialog.chosen is the function picked, if any.
    virtual bool runShortcutDialog(ShortcutDialogState& dialog) = 0;
    // True when closed with "Search"; dialog.pattern is what was entered.
    virtual bool runSearchDialog(SearchDialogState& dialog) = 0;
    // The tree dialog of the NDS tree button; true when closed with OK.
    virtual bool runTreeDialog(TreeDialogState& dialog) = 0;
    // The two detail dialogs; they only show what was read and return when closed.
    virtual void showWorkstationInfo(const WorkstationInfo& info) = 0;
    virtual void showWorkstationInventory(const WorkstationInventory& inventory) = 0;

    virtual void showHelp(const std::string& text) = 0;
    virtual void showAbout(const std::string& version) = 0;
};

// The wait cursor for the lifetime of a scope, restored on every way out of it.
class WaitCursor {
  public:
    explicit WaitCursor(Ui& ui) : ui_(ui) { ui_.beginWaitCursor(); }
    ~WaitCursor() { ui_.endWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    Ui& ui_;
};

}  // namespace kestrel::browser
