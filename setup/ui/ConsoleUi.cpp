#include "ui/ConsoleUi.h"

namespace kestrel::setup {

int ConsoleUi::messageBox(const MessageBoxRequest& box, const std::function<void()>&) {
    out_ << box.caption << ": " << box.text << "\n";
    const int answer = box.defaultAnswer();
    std::string chosen;
    for (const MessageButton& button : box.visibleButtons()) {
        out_ << "  [" << plainLabel(button.label) << "]";
        if (button.id == answer && chosen.empty()) chosen = plainLabel(button.label);
    }
    if (!chosen.empty()) out_ << " -> " << chosen;
    out_ << "\n";
    out_.flush();
    return answer;
}

void ConsoleUi::openHelp(const std::filesystem::path& file, const std::string& topic) {
    out_ << "Help: " << file.string() << (topic.empty() ? "" : "#" + topic) << "\n";
}

void ConsoleUi::setTitle(const std::string&) {}

}  // namespace kestrel::setup
