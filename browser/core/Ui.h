// How the browser core talks to the person. The Qt front end renders these; tests answer
// them from a script.
#pragma once

#include <string>

namespace kestrel::browser {

class Ui {
  public:
    virtual ~Ui() = default;

    // A plain message box: the text, an OK button, no icon, the program's name as caption.
    virtual void showMessage(const std::string& text) = 0;

    // Shown while a directory call blocks the window (listing, search, login, ping).
    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;
};

}  // namespace kestrel::browser
