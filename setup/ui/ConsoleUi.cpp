#include "ui/ConsoleUi.h"

#include <cctype>

#include "components/ComponentPage.h"

namespace kestrel::setup {

namespace {

constexpr int kHelpButton = 9;

// The access key of a label ("&Yes" -> 'y'), 0 for none.
char accessKey(const std::string& label) {
    for (std::size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != '&') continue;
        if (label[i + 1] != '&')
            return static_cast<char>(std::tolower(static_cast<unsigned char>(label[i + 1])));
        ++i;
    }
    return 0;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

int ConsoleUi::messageBox(const MessageBoxRequest& box, const std::function<void()>& help) {
    out_ << box.caption << ": " << box.text << "\n";
    const std::vector<MessageButton> buttons = box.visibleButtons();
    for (const MessageButton& button : buttons) out_ << "  [" << plainLabel(button.label) << "]";
    std::size_t choices = 0;
    for (const MessageButton& button : buttons) choices += button.id != kHelpButton ? 1 : 0;
    // One button tells, and so do all boxes of a run nobody watches.
    if (choices > 1 && !unattended_) {
        out_ << "\n";
        return unanswered_ ? kNoAnswer : ask(box, help);
    }
    const int answer = box.defaultAnswer();
    for (const MessageButton& button : buttons) {
        if (button.id == answer) {
            out_ << " -> " << plainLabel(button.label);
            break;
        }
    }
    out_ << "\n";
    out_.flush();
    return answer;
}

int ConsoleUi::ask(const MessageBoxRequest& box, const std::function<void()>& help) {
    if (terminal_ == nullptr) return noAnswer("standard input is not a terminal");
    const std::vector<MessageButton> buttons = box.visibleButtons();
    std::string keys;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const char key = accessKey(buttons[i].label);
        keys += (i > 0 ? ", " : "") + (key != 0 ? std::string(1, key) : std::to_string(i + 1));
    }
    const int fallback = box.defaultAnswer();
    std::string fallbackLabel;
    for (const MessageButton& button : buttons) {
        if (button.id == fallback) fallbackLabel = plainLabel(button.label);
    }
    for (;;) {
        out_ << "Answer (" << keys << " or 1-" << buttons.size() << ", Enter: " << fallbackLabel
             << "): ";
        out_.flush();
        std::string line;
        if (!std::getline(*terminal_, line)) return noAnswer("the terminal's input has ended");
        line = trimmed(line);
        int answer = line.empty() ? fallback : kNoAnswer;
        for (std::size_t i = 0; i < buttons.size() && answer == kNoAnswer; ++i) {
            const char key = accessKey(buttons[i].label);
            const bool typedKey = line.size() == 1 && key != 0 &&
                                  std::tolower(static_cast<unsigned char>(line[0])) == key;
            if (typedKey || line == std::to_string(i + 1)) answer = buttons[i].id;
        }
        if (answer == kHelpButton) {
            help();
        } else if (answer != kNoAnswer) {
            return answer;
        }
    }
}

int ConsoleUi::noAnswer(std::string_view why) {
    unanswered_ = true;
    out_ << "Setup cannot wait for an answer: " << why
         << ". The installation ends here; start it with /S to take the default answers.\n";
    out_.flush();
    return kNoAnswer;
}

void ConsoleUi::openHelp(const std::filesystem::path& file, const std::string& topic) {
    out_ << "Help: " << file.string() << (topic.empty() ? "" : "#" + topic) << "\n";
}

void ConsoleUi::setTitle(const std::string&) {}

PageResult ConsoleUi::showPage(WizardPage& page, const PageActions&) {
    if (unanswered_) return PageResult::Cancel;
    out_ << page.title << "\n";
    if (!page.text.empty()) out_ << page.text << "\n";
    if (!page.question.empty()) out_ << page.question << "\n";
    for (std::size_t i = 0; i < page.choices.size(); ++i) {
        const PageChoice& choice = page.choices[i];
        if (!choice.visible) continue;
        out_ << (static_cast<int>(i) == page.chosen ? "  (*) " : "  ( ) ")
             << plainLabel(choice.text);
        if (!choice.detail.empty()) out_ << "  " << choice.detail;
        out_ << "\n";
    }
    if (page.components) printComponents(*page.components);
    for (const EditField& field : page.fields) {
        if (!field.visible) continue;
        out_ << "  " << plainLabel(field.label()) << ": "
             << (field.password ? std::string(field.text().size(), '*') : field.text()) << "\n";
    }
    const PageResult result =
        page.accepts(PageResult::Next) ? PageResult::Next : PageResult::Cancel;
    std::string pressed = result == PageResult::Next ? page.nextLabel : page.cancelLabel;
    if (result == PageResult::Next && page.choiceEndsPage) pressed = page.choices[page.chosen].text;
    out_ << "  -> " << plainLabel(pressed) << "\n";
    out_.flush();
    return result;
}

std::optional<std::string> ConsoleUi::askText(const TextRequest& request) {
    out_ << request.title << ": " << request.prompt << "\n";
    const auto cancelled = [this] {
        out_ << "  -> Cancel\n";
        out_.flush();
        return std::nullopt;
    };
    if (unattended_) return cancelled();
    if (unanswered_) return std::nullopt;
    if (terminal_ == nullptr) {
        (void)noAnswer("standard input is not a terminal");
        return std::nullopt;
    }
    out_ << "Text (Enter alone: " << (request.preset.empty() ? "Cancel" : request.preset) << "): ";
    out_.flush();
    std::string line;
    if (!std::getline(*terminal_, line)) {
        (void)noAnswer("the terminal's input has ended");
        return std::nullopt;
    }
    line = trimmed(line);
    if (line.empty()) line = request.preset;
    if (line.empty()) return cancelled();
    return line;
}

// The components of the first level as the page shows them, each with its check state,
// then the figures.
void ConsoleUi::printComponents(const ComponentPage& components) {
    for (const ComponentPage::Row& row : components.rows()) {
        const char* mark = row.picture.state == CheckState::Checked  ? "[x] "
                           : row.picture.state == CheckState::Partly ? "[~] "
                                                                     : "[ ] ";
        out_ << "  " << mark << row.text << "\n";
    }
    out_ << "  " << components.directory() << "\n";
    out_ << "  " << components.neededLabel() << ": " << components.neededText() << "\n";
    out_ << "  " << components.availableLabel() << ": " << components.availableText() << "\n";
}

void ConsoleUi::showProgress(const ProgressView& view) {
    if (!view.visible || view.first.empty()) return;
    std::string line = view.firstLabel + " " + view.first;
    if (!view.second.empty()) line += " " + view.secondLabel + " " + view.second;
    if (line == lastProgress_) return;
    lastProgress_ = line;
    out_ << line << "\n";
}

void ConsoleUi::setClipboardText(const std::string& text) {
    out_ << "Clipboard: " << text << "\n";
}

bool ConsoleUi::showTextFile(const std::filesystem::path& file) {
    out_ << "Written to " << file.string() << "\n";
    out_.flush();
    return true;
}

}  // namespace kestrel::setup
