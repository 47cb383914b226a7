#include "wizard/WizardPage.h"

#include <algorithm>

#include "platform/AsciiCase.h"

namespace kestrel::setup {

void EditField::setText(std::string_view text) {
    text_.clear();
    std::size_t characters = 0;
    bool dropping = false;  // the rest of a character that was left out
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool continuation = utf8 && (byte & 0xC0) == 0x80;
        if (continuation) {
            if (!dropping) text_ += c;
            continue;
        }
        dropping = (digitsOnly && (byte < '0' || byte > '9')) || characters >= limit_;
        if (dropping) continue;
        ++characters;
        if (letterCase == LetterCase::Upper) {
            text_ += platform::asciiUpper(c);
        } else if (letterCase == LetterCase::Lower) {
            text_ += platform::asciiLower(c);
        } else {
            text_ += c;
        }
    }
}

bool WizardPage::nextEnabled() const {
    if (!nextVisible) return false;
    if (!choices.empty() && (chosen < 0 || static_cast<std::size_t>(chosen) >= choices.size() ||
                             !choices[chosen].visible))
        return false;
    return missingField() == nullptr;
}

const EditField* WizardPage::missingField() const {
    const auto missing = std::ranges::find_if(fields, [](const EditField& field) {
        return field.visible && field.required && !field.readOnly && field.text().empty();
    });
    return missing != fields.end() ? &*missing : nullptr;
}

bool WizardPage::accepts(PageResult result) const {
    switch (result) {
        case PageResult::Next:
            if (choiceEndsPage) {
                return chosen >= 0 && static_cast<std::size_t>(chosen) < choices.size() &&
                       choices[chosen].visible;
            }
            return nextEnabled();
        case PageResult::Back:
            return backVisible && backEnabled;
        case PageResult::Skip:
            return skipVisible;
        case PageResult::Cancel:
            return true;
    }
    return false;
}

}  // namespace kestrel::setup
