// How the installer's core talks to the person. The Qt front end renders these; the console
// front end prints them and answers with the default button; tests answer from a script.
// Texts reach a front end as UTF-8: the installer decodes its own through CodePageUi.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "messages/MessageBoxRequest.h"
#include "ui/BackgroundWindow.h"
#include "ui/MainWindowContent.h"
#include "wizard/ProgressView.h"
#include "wizard/WizardPage.h"

namespace kestrel::setup {

// A line of text the person is asked for (the port name a port monitor's dialog asks).
struct TextRequest {
    std::string title;   // the dialog's caption
    std::string prompt;  // the line above the text box
    std::string preset;  // what the box holds at first
};

class Ui {
  public:
    virtual ~Ui() = default;

    // What messageBox returns when nobody can answer the box (a console without a person
    // at it): the run cannot go on.
    static constexpr int kNoAnswer = 0;

    // Shows the box modally and returns the number of the button that ended it. Help (and
    // F1) call `help` and leave the box open; Escape and Close press button 2 and do
    // nothing in a box without one.
    virtual int messageBox(const MessageBoxRequest& box, const std::function<void()>& help) = 0;

    // Opens the help file, an HTML page, at a topic (an anchor; empty for its start).
    virtual void openHelp(const std::filesystem::path& file, const std::string& topic) = 0;

    // The installer window's title.
    virtual void setTitle(const std::string& title) = 0;
    // The two lines of the progress window ("Copying:" and the source, "to:" and the target).
    virtual void setProgressText(const std::string& first, const std::string& second) = 0;
    // Lets the window handle what is pending; true when the person asked to cancel.
    virtual bool cancelRequested() = 0;

    // Shows a wizard page modally over the installer window and returns how it ended; what
    // the person entered or chose is left in the page. Help, Browse and Cancel go through
    // `actions` while the page stays up; Cancel ends the page only when confirmCancel says so.
    virtual PageResult showPage(WizardPage& page, const PageActions& actions) = 0;
    // The folder chooser, on host folders; nothing when the person cancels.
    virtual std::optional<std::filesystem::path> chooseFolder(
        const std::filesystem::path& start) = 0;
    // Asks for a line of text in a small dialog over the installer window: the text the
    // person confirmed, never empty; nullopt when they cancelled or nobody can answer.
    virtual std::optional<std::string> askText(const TextRequest& request) = 0;
    // Shows, updates or hides the modeless progress window.
    virtual void showProgress(const ProgressView& view) = 0;
    // Puts text on the clipboard, where the person can paste it (the real size of a file
    // whose expected size is wrong, for correcting the script).
    virtual void setClipboardText(const std::string& text) = 0;

    // The installer's main window, as large as the screen, painting `content`; made hidden,
    // shown by showMainWindow, gone with closeMainWindow. Front ends without windows (the
    // console) have none: nullptr.
    virtual BackgroundWindow* openMainWindow(const MainWindowContent& content) {
        (void)content;
        return nullptr;
    }
    virtual void showMainWindow() {}
    virtual void closeMainWindow() {}
    // Brings the main window, where it is shown, in front of the other windows with the
    // focus: at the end of a run, so that its last message is seen over it.
    virtual void raiseMainWindow() {}

    // Called again and again while the installer waits for a program it started: the
    // windows are drawn again but take no input, and come back once the wait is over.
    virtual void waitingForProgram() {}

    // Tells the person something that asks for no answer and is no failure of the run (a
    // readme that nothing on the machine opens): one plain line, on the console or in a
    // plain box.
    virtual void note(const std::string& line) = 0;

    // Shows a text file the run wrote (the command list of /T): the desktop's text viewer
    // opens it, the console says where it is. false when nothing could show it.
    virtual bool showTextFile(const std::filesystem::path& file) {
        (void)file;
        return false;
    }
};

}  // namespace kestrel::setup
