#include "ConsoleUi.h"

#include <ostream>
#include <thread>

#include "WindowTexts.h"

namespace kestrel::rclog {

ConsoleUi::ConsoleUi(std::ostream& out) : out_(out) {}

void ConsoleUi::print(const std::string& line) {
    // One write per message, so messages of concurrent copies do not mix on a shared terminal.
    std::string text = line;
    if (text.empty() || text.back() != '\n') text += '\n';
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    out_.flush();
}

void ConsoleUi::showMessage(const std::string& text, const std::string& caption, Icon icon) {
    print(caption + (icon == Icon::Stop ? " (error): " : ": ") + text);
}

Choice ConsoleUi::askToContinue(const std::string&) {
    print(std::string(kMainDialogCaption) + ":" + kContinueQuestion + "-> OK");
    return Choice::Ok;
}

void ConsoleUi::showNotification(const std::string& caption) {
    print(caption);
}

void ConsoleUi::pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

}  // namespace kestrel::rclog
