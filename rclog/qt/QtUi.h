// The logger's windows. A session with Notify and Debug off shows none, so the application
// object is made only when the first window is needed; when no display can be had then, every
// message goes to the console front end instead and the session goes on.
#pragma once

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleUi.h"
#include "NotificationWindow.h"
#include "Ui.h"

namespace kestrel::rclog {

class QtUi : public Ui {
  public:
    // `programName` is argument 0 for the application object this front end may make.
    explicit QtUi(std::string programName);
    ~QtUi() override;

    void showMessage(const std::string& text, const std::string& caption, Icon icon) override;
    Choice askToContinue(const std::string& legalNotice) override;
    void showNotification(const std::string& caption) override;
    void hideNotification() override;
    void pause(std::chrono::milliseconds duration) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;

    NotificationWindow* notificationWindow() const { return notification_.get(); }

  private:
    enum class Display { Unknown, Available, None };
    bool haveDisplay();

    std::vector<std::string> arguments_;
    std::vector<char*> argv_;
    int argc_ = 0;
    std::unique_ptr<QApplication> application_;
    Display display_ = Display::Unknown;
    ConsoleUi console_;
    std::unique_ptr<NotificationWindow> notification_;
    int waitCursors_ = 0;
    bool cursorShown_ = false;
};

}  // namespace kestrel::rclog
