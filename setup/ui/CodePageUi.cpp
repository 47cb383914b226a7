#include "ui/CodePageUi.h"

namespace kestrel::setup {

int CodePageUi::messageBox(const MessageBoxRequest& box, const std::function<void()>& help) {
    MessageBoxRequest decoded = box;
    decoded.caption = utf8(box.caption);
    decoded.text = utf8(box.text);
    decoded.spec.text = utf8(box.spec.text);
    for (MessageButton& button : decoded.spec.buttons) button.label = utf8(button.label);
    return frontEnd_.messageBox(decoded, help);
}

// The file is a host path already; the topic is installer text.
void CodePageUi::openHelp(const std::filesystem::path& file, const std::string& topic) {
    frontEnd_.openHelp(file, utf8(topic));
}

void CodePageUi::setTitle(const std::string& title) {
    frontEnd_.setTitle(utf8(title));
}

void CodePageUi::setProgressText(const std::string& first, const std::string& second) {
    frontEnd_.setProgressText(utf8(first), utf8(second));
}

}  // namespace kestrel::setup
