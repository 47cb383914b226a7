#include "messages/MessageBoxRequest.h"

#include "messages/MessageStrings.h"

namespace kestrel::setup {

namespace {

bool hidden(const MessageBoxRequest& box, std::size_t index) {
    return index > 0 && box.spec.buttons[index].id == buttons::kHelp &&
           (!box.helpAvailable || box.systemModal);
}

}  // namespace

std::vector<MessageButton> MessageBoxRequest::visibleButtons() const {
    std::vector<MessageButton> visible;
    for (std::size_t i = 0; i < spec.buttons.size(); ++i) {
        if (!hidden(*this, i)) visible.push_back(spec.buttons[i]);
    }
    return visible;
}

std::size_t MessageBoxRequest::focusButton() const {
    if (spec.defaultButton >= spec.buttons.size() || hidden(*this, spec.defaultButton)) return 0;
    std::size_t index = 0;
    for (std::size_t i = 0; i < spec.defaultButton; ++i) {
        if (!hidden(*this, i)) ++index;
    }
    return index;
}

bool MessageBoxRequest::closable() const {
    for (const MessageButton& button : spec.buttons) {
        if (button.id == buttons::kCancel) return true;
    }
    return false;
}

int MessageBoxRequest::defaultAnswer() const {
    const std::vector<MessageButton> visible = visibleButtons();
    if (visible.empty()) return 1;
    if (visible[focusButton()].id != buttons::kHelp) return visible[focusButton()].id;
    for (const MessageButton& button : visible) {
        if (button.id != buttons::kHelp) return button.id;
    }
    return 1;
}

std::string plainLabel(const std::string& label) {
    std::string plain;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size())
            ++i;
        else if (label[i] == '&')
            continue;
        plain += label[i];
    }
    return plain;
}

}  // namespace kestrel::setup
