#pragma once

#include <string>
#include <vector>

#include "messages/MessageSpec.h"

namespace kestrel::setup {

// Everything a front end needs to show one message box.
struct MessageBoxRequest {
    int number = 0;  // the message number, also the help context (0 for plain notes)
    std::string caption;
    MessageSpec spec;
    std::string text;  // formatted
    bool helpAvailable = false;
    bool systemModal = false;

    // The buttons the box shows: a Help button (9) other than the first one is left out
    // when there is no help file or the box is system-modal.
    std::vector<MessageButton> visibleButtons() const;
    // Index into visibleButtons() of the button with the focus (the one marked "!", else the
    // first).
    std::size_t focusButton() const;
    // Whether Escape and Close may end the box: only when it has a button 2.
    bool closable() const;
    // The id a run without a person answers with: the focus button's, unless that is Help.
    int defaultAnswer() const;
};

// A label without its access-key markers ("&Yes" -> "Yes", "&&" -> "&").
std::string plainLabel(const std::string& label);

}  // namespace kestrel::setup
