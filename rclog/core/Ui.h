// How the logger talks to the person. The Qt front end shows windows; without a display the
// console front end writes to standard error; tests answer from a script.
#pragma once

#include <chrono>
#include <string>

namespace kestrel::rclog {

enum class Icon { None, Stop };
enum class Choice { Ok, Cancel };

class Ui {
  public:
    virtual ~Ui() = default;

    // A message box with an OK button.
    virtual void showMessage(const std::string& text, const std::string& caption, Icon icon) = 0;

    // The main dialog, shown when the start log cannot be opened: OK tries the session once
    // more, Cancel gives up. Its menu opens the About box, which shows `legalNotice`.
    virtual Choice askToContinue(const std::string& legalNotice) = 0;

    // The notification window: the first call shows it, later calls change its caption.
    virtual void showNotification(const std::string& caption) = 0;
    virtual void hideNotification() = 0;

    // A fixed wait; windows that are shown stay painted meanwhile.
    virtual void pause(std::chrono::milliseconds duration) = 0;

    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;
};

}  // namespace kestrel::rclog
