#include "DeferredUi.h"

#include <thread>

namespace kestrel::rclog {

DeferredUi::DeferredUi(std::function<std::unique_ptr<Ui>()> makeWindows)
    : makeWindows_(std::move(makeWindows)) {}

DeferredUi::~DeferredUi() = default;

Ui& DeferredUi::windows() {
    if (!windows_) {
        windows_ = makeWindows_();
        // A session that is already waiting shows the wait cursor on its first window.
        for (int i = 0; i < waitCursors_; ++i) windows_->beginWaitCursor();
    }
    return *windows_;
}

void DeferredUi::showMessage(const std::string& text, const std::string& caption, Icon icon) {
    windows().showMessage(text, caption, icon);
}

Choice DeferredUi::askToContinue(const std::string& legalNotice) {
    return windows().askToContinue(legalNotice);
}

void DeferredUi::showNotification(const std::string& caption) {
    windows().showNotification(caption);
}

void DeferredUi::hideNotification() {
    if (windows_) windows_->hideNotification();
}

void DeferredUi::pause(std::chrono::milliseconds duration) {
    if (windows_) return windows_->pause(duration);
    std::this_thread::sleep_for(duration);
}

void DeferredUi::beginWaitCursor() {
    ++waitCursors_;
    if (windows_) windows_->beginWaitCursor();
}

void DeferredUi::endWaitCursor() {
    if (waitCursors_ == 0) return;
    --waitCursors_;
    if (windows_) windows_->endWaitCursor();
}

}  // namespace kestrel::rclog
