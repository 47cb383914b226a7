#include "wizard/ProgressWindow.h"

#include <algorithm>

#include "messages/MessageFormat.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup {

namespace {
constexpr int kHelpTopic = 6100;
}  // namespace

void ProgressWindow::open(const std::string& title, bool visible, bool cancel,
                          ProgressPlacement placement) {
    view_ = ProgressView{};
    view_.placement = std::move(placement);
    view_.title = title;
    view_.visible = visible;
    view_.cancelVisible = cancel;
    view_.helpVisible = !messages_.helpFile().empty();
    view_.help = [this] { messages_.help(kHelpTopic); };
    setPercent(0);
}

void ProgressWindow::close() {
    view_.visible = false;
    update();
}

void ProgressWindow::copying(const std::string& source, const std::string& destination) {
    const StringTable& strings = messages_.strings();
    view_.firstLabel = strings.text(strings::kCopying);
    view_.first = source;
    view_.secondLabel = strings.text(strings::kCopyingTo);
    view_.second = destination;
    update();
}

void ProgressWindow::deleting(const std::string& file) {
    firstOnly(messages_.strings().text(strings::kDeleting), file);
}

void ProgressWindow::command(const std::string& line) {
    firstOnly({}, line);
}

void ProgressWindow::firstOnly(const std::string& label, const std::string& text) {
    view_.firstLabel = label;
    view_.first = text;
    view_.secondLabel.clear();
    view_.second.clear();
    update();
}

void ProgressWindow::checkingRuntime(const std::string& installed, const std::string& found) {
    const StringTable& strings = messages_.strings();
    view_.title = strings.text(strings::kCheckingRuntime);
    view_.firstLabel = strings.text(strings::kChecking);
    view_.first = installed;
    view_.secondLabel = strings.text(strings::kAgainst);
    view_.second = found;
    update();
}

void ProgressWindow::setPercent(int percent) {
    view_.percent = std::clamp(percent, 0, 100);
    view_.meter = formatMessage("%d%%", {view_.percent});
    update();
}

void ProgressWindow::setProgress(unsigned long long done, unsigned long long total) {
    setPercent(total == 0 ? 100 : static_cast<int>(std::min(done, total) * 100 / total));
}

bool ProgressWindow::poll() {
    // A question that found nobody to answer it ends the work as Cancel would.
    if (messages_.unanswered() || (messages_.ui().cancelRequested() && view_.cancelVisible &&
                                   messages_.show(messages::kReallyAbort) == buttons::kYes)) {
        run_.abort = true;
        run_.cancelled = true;
    }
    return run_.abort;
}

void ProgressWindow::update() {
    messages_.ui().showProgress(view_);
}

}  // namespace kestrel::setup
