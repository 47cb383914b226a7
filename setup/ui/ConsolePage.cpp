#include "ui/ConsolePage.h"

#include <algorithm>
#include <cctype>

#include "components/ComponentPage.h"
#include "messages/MessageBoxRequest.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup {

namespace {

bool allDigits(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

std::size_t characters(const std::string& text, bool utf8) {
    if (!utf8) return text.size();
    return static_cast<std::size_t>(std::ranges::count_if(
        text, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// What a field shows of its text: a password only as many stars as it has characters.
std::string shownText(const EditField& field) {
    return field.password ? std::string(characters(field.text(), field.utf8), '*') : field.text();
}

const char* checkMark(const CheckPicture& picture) {
    if (picture.radio) {
        return picture.state == CheckState::Checked  ? "(*)"
               : picture.state == CheckState::Partly ? "(~)"
                                                     : "( )";
    }
    return picture.state == CheckState::Checked  ? "[x]"
           : picture.state == CheckState::Partly ? "[~]"
                                                 : "[ ]";
}

}  // namespace

std::string consoleFieldName(const EditField& field) {
    std::string name = plainLabel(field.label());
    if (!name.empty() && name.back() == ':') name.pop_back();
    return name;
}

PageResult ConsolePage::run() {
    if (page_.beep) out_ << '\a';
    for (;;) {
        print();
        if (!editFields()) return PageResult::Cancel;
        Outcome outcome;
        while (outcome.kind == Outcome::Kind::AskAgain) {
            const std::vector<Button> offered = buttons();
            const auto line = input_.readLine(answerPrompt(offered));
            if (!line) return PageResult::Cancel;
            outcome = answer(std::string(platform::trimWhitespace(*line)));
        }
        if (outcome.kind == Outcome::Kind::End) return outcome.result;
    }
}

void ConsolePage::print() {
    out_ << "\n" << page_.title << "\n";
    if (!page_.text.empty()) out_ << page_.text << "\n";
    if (!page_.question.empty()) out_ << page_.question << "\n";
    std::size_t number = 0;
    for (std::size_t i = 0; i < page_.choices.size(); ++i) {
        const PageChoice& choice = page_.choices[i];
        if (!choice.visible) continue;
        out_ << "  " << ++number << " ";
        if (!page_.choiceEndsPage) out_ << (static_cast<int>(i) == page_.chosen ? "(*) " : "( ) ");
        out_ << plainLabel(choice.text);
        if (!choice.detail.empty()) out_ << "  " << choice.detail;
        out_ << "\n";
    }
    if (page_.components) printComponents();
}

// The items of the level shown, each with its number, check state, description and, for
// an item with children, how many of them are selected; then the figures.
void ConsolePage::printComponents() {
    ComponentPage& components = *page_.components;
    const std::vector<ComponentPage::Row> rows = components.rows();
    const int current = components.current();
    if (!detailsOf_.empty()) out_ << "Details of " << detailsOf_.back() << ":\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        components.setCurrent(static_cast<int>(i));
        out_ << "  " << i + 1 << " " << checkMark(rows[i].picture) << " " << rows[i].text << "\n";
        const std::string description = components.description();
        std::size_t start = 0;
        while (start < description.size()) {
            const std::size_t end = std::min(description.find('\n', start), description.size());
            out_ << "        " << description.substr(start, end - start) << "\n";
            start = end + 1;
        }
        if (components.detailsEnabled())
            out_ << "        " << components.countText() << " (d" << i + 1 << ": Details)\n";
    }
    components.setCurrent(current);
    out_ << "  " << components.directory() << "\n";
    out_ << "  " << components.neededLabel() << ": " << components.neededText() << "\n";
    out_ << "  " << components.availableLabel() << ": " << components.availableText() << "\n";
}

bool ConsolePage::editFields() {
    for (EditField& field : page_.fields) {
        if (!field.visible) continue;
        if (field.readOnly) {
            out_ << "  " << consoleFieldName(field) << ": " << shownText(field) << "\n";
        } else if (!editField(field)) {
            return false;
        }
    }
    return true;
}

// Enter keeps what the field holds, a line of blanks empties it; what the field's rules
// refuse is said.
bool ConsolePage::editField(EditField& field) {
    const std::string name = consoleFieldName(field);
    for (;;) {
        std::string prompt = "  " + name;
        if (!field.text().empty()) {
            prompt += " [" + shownText(field) + "]";
            if (!field.required) prompt += " (a blank empties it)";
        }
        const auto line = input_.readLine(prompt + ": ", field.password);
        if (!line) return false;
        if (line->empty()) return true;
        // Blanks are part of a password; around other answers they are slips.
        const std::string typed =
            field.password ? *line : std::string(platform::trimWhitespace(*line));
        if (field.digitsOnly && !typed.empty() && !allDigits(typed)) {
            out_ << "  Only digits can be entered here.\n";
            continue;
        }
        field.setText(typed);
        if (field.text().size() < typed.size())
            out_ << "  At most " << field.limit()
                 << " characters fit here: the rest was left out.\n";
        return true;
    }
}

bool ConsolePage::inDetails() const {
    return page_.components != nullptr && page_.components->inDetails();
}

std::vector<ConsolePage::Button> ConsolePage::buttons() const {
    std::vector<Button> offered;
    const auto add = [&offered](const std::string& label, Press press) {
        offered.push_back({consoleKey(label), plainLabel(label), press});
    };
    if (page_.backVisible && page_.backEnabled && !inDetails()) add("< &Back", Press::Back);
    if (page_.nextVisible) add(page_.nextLabel, Press::Next);
    if (page_.skipVisible) add("&Skip", Press::Skip);
    add(page_.cancelLabel, Press::Cancel);
    if (page_.helpVisible) add("&Help", Press::Help);
    return offered;
}

std::string ConsolePage::answerPrompt(const std::vector<Button>& offered) const {
    std::string prompt;
    for (const Button& button : offered) prompt += "  [" + button.label + "]";
    prompt += "\nAnswer (";
    if (page_.components) {
        const std::vector<ComponentPage::Row> rows = page_.components->rows();
        if (!rows.empty()) prompt += "1-" + std::to_string(rows.size()) + " switches on or off, ";
        if (std::ranges::any_of(rows, &ComponentPage::Row::hasDetails))
            prompt += "d and a number: Details, ";
    } else if (const auto numbers = std::ranges::count_if(page_.choices, &PageChoice::visible)) {
        prompt += "1-" + std::to_string(numbers) +
                  (page_.choiceEndsPage ? " chooses, " : " chooses and goes on, ");
    }
    for (std::size_t i = 0; i < offered.size(); ++i)
        prompt += (i > 0 ? ", " : "") + std::string(1, offered[i].key);
    if (page_.nextVisible) prompt += "; Enter: " + plainLabel(page_.nextLabel);
    return prompt + "): ";
}

ConsolePage::Outcome ConsolePage::answer(const std::string& line) {
    if (line.empty()) {
        if (page_.nextVisible) return pressed(Press::Next);
    } else if (allDigits(line)) {
        return picked(static_cast<std::size_t>(std::stoul(line.substr(0, 9))));
    } else if (page_.components && (line[0] == 'd' || line[0] == 'D') && line.size() > 1) {
        return details(std::string(platform::trimWhitespace(line.substr(1))));
    } else if (line.size() == 1) {
        const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
        for (const Button& button : buttons()) {
            if (button.key == key) return pressed(button.press);
        }
    }
    out_ << "  That is none of the answers offered.\n";
    return Outcome::askAgain();
}

ConsolePage::Outcome ConsolePage::pressed(Press press) {
    switch (press) {
        case Press::Back:
            return Outcome::end(PageResult::Back);
        case Press::Skip:
            return Outcome::end(PageResult::Skip);
        case Press::Help:
            if (actions_.help) actions_.help();
            return Outcome::askAgain();
        case Press::Next:
            // A Details level is closed by Finish, keeping what was chosen there.
            if (inDetails()) {
                closeDetails(true);
                return Outcome::reshow();
            }
            if (page_.accepts(PageResult::Next)) return Outcome::end(PageResult::Next);
            if (const EditField* missing = page_.missingField())
                out_ << "  " << consoleFieldName(*missing) << " must not be empty.\n";
            return Outcome::reshow();
        case Press::Cancel:
            if (inDetails()) {
                closeDetails(false);
                return Outcome::reshow();
            }
            // Ended as well when the confirmation found nobody to answer it.
            if (!actions_.confirmCancel || actions_.confirmCancel() || input_.refused())
                return Outcome::end(PageResult::Cancel);
            return Outcome::askAgain();
    }
    return Outcome::askAgain();
}

ConsolePage::Outcome ConsolePage::picked(std::size_t number) {
    if (page_.components) {
        ComponentPage& components = *page_.components;
        const std::vector<ComponentPage::Row> rows = components.rows();
        if (number < 1 || number > rows.size()) {
            out_ << "  There is no item " << number << ".\n";
            return Outcome::askAgain();
        }
        if (!components.toggle(static_cast<int>(number - 1))) {
            out_ << "  " << rows[number - 1].text
                 << " stays selected: one of its group must be; choose another one instead.\n";
            return Outcome::askAgain();
        }
        return Outcome::reshow();
    }
    const auto choice = shownChoice(number);
    if (!choice) {
        out_ << "  There is no choice " << number << ".\n";
        return Outcome::askAgain();
    }
    page_.chosen = static_cast<int>(*choice);
    return pressed(Press::Next);
}

ConsolePage::Outcome ConsolePage::details(const std::string& number) {
    ComponentPage& components = *page_.components;
    const std::vector<ComponentPage::Row> rows = components.rows();
    const std::size_t item = allDigits(number) ? std::stoul(number.substr(0, 9)) : 0;
    if (item < 1 || item > rows.size()) {
        out_ << "  There is no item " << number << ".\n";
        return Outcome::askAgain();
    }
    components.setCurrent(static_cast<int>(item - 1));
    if (!components.openDetails()) {
        out_ << "  " << rows[item - 1].text << " has no details.\n";
        return Outcome::askAgain();
    }
    detailsOf_.push_back(rows[item - 1].text);
    return Outcome::reshow();
}

void ConsolePage::closeDetails(bool keep) {
    if (keep) {
        page_.components->finishDetails();
    } else {
        page_.components->cancelDetails();
    }
    if (!detailsOf_.empty()) detailsOf_.pop_back();
}

std::optional<std::size_t> ConsolePage::shownChoice(std::size_t number) const {
    std::size_t shown = 0;
    for (std::size_t i = 0; i < page_.choices.size(); ++i) {
        if (page_.choices[i].visible && ++shown == number) return i;
    }
    return std::nullopt;
}

}  // namespace kestrel::setup
