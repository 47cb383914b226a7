// How the first edition's core talks to the person. The Qt front end renders these; tests
// answer them from a script.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestrel::classic {

// What the workstation information dialog shows.
struct WorkstationInfo {
    std::string objectName;  // the name the reads used
    std::string computerName;
    std::string computerOs;
    std::vector<std::string> networkAddresses;
    std::string physicalMemory;
    std::vector<std::string> userHistory;
    std::string lastRegistered;
};

class Ui {
  public:
    virtual ~Ui() = default;

    // A plain message box: the text, an OK button, the program's name as caption.
    virtual void showMessage(const std::string& text) = 0;
    // Yes/No; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    virtual void beep() = 0;

    // Shown while a directory call or an echo blocks the window.
    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;

    // The change-context dialog prefilled with `context`: the entered text after "SET",
    // nothing after "Cancel".
    virtual std::optional<std::string> askNewContext(const std::string& context) = 0;
    // The save-context dialog showing `context`: true after "SAVE".
    virtual bool confirmSaveContext(const std::string& context) = 0;
    virtual void showWorkstationInfo(const WorkstationInfo& info) = 0;
};

// Shows the wait cursor for the life of the object.
class WaitCursor {
  public:
    explicit WaitCursor(Ui& ui) : ui_(ui) { ui_.beginWaitCursor(); }
    ~WaitCursor() { ui_.endWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    Ui& ui_;
};

}  // namespace kestrel::classic
