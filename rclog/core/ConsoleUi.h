// The logger without a display: every message goes to standard error and is answered as its
// default button would be, so a session is never held up by a window nobody can see.
#pragma once

#include <iosfwd>

#include "Ui.h"

namespace kestrel::rclog {

class ConsoleUi : public Ui {
  public:
    explicit ConsoleUi(std::ostream& out);

    void showMessage(const std::string& text, const std::string& caption, Icon icon) override;
    // The main dialog has no default button; Enter in such a dialog means OK, so the session
    // gets its one more try.
    Choice askToContinue(const std::string& legalNotice) override;
    void showNotification(const std::string& caption) override;
    void hideNotification() override {}
    void pause(std::chrono::milliseconds duration) override;
    void beginWaitCursor() override {}
    void endWaitCursor() override {}

  private:
    void print(const std::string& line);

    std::ostream& out_;
};

}  // namespace kestrel::rclog
