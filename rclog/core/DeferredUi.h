// A Ui whose windows are made only when the first one is needed. A session with Notify and
// Debug off shows none, so it never pays for loading a window system; until then waits are
// plain sleeps and the wait cursor is only counted.
#pragma once

#include <functional>
#include <memory>

#include "Ui.h"

namespace kestrel::rclog {

class DeferredUi : public Ui {
  public:
    // `makeWindows` gives the Ui that shows windows; it is called once, at the first message,
    // dialog or notification.
    explicit DeferredUi(std::function<std::unique_ptr<Ui>()> makeWindows);
    ~DeferredUi() override;

    void showMessage(const std::string& text, const std::string& caption, Icon icon) override;
    Choice askToContinue(const std::string& legalNotice) override;
    void showNotification(const std::string& caption) override;
    void hideNotification() override;
    void pause(std::chrono::milliseconds duration) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;

  private:
    Ui& windows();

    std::function<std::unique_ptr<Ui>()> makeWindows_;
    std::unique_ptr<Ui> windows_;
    int waitCursors_ = 0;
};

}  // namespace kestrel::rclog
