#include "ui/ConsoleUi.h"

#include <cctype>

#include "platform/WindowsPathText.h"
#include "ui/ConsolePage.h"

namespace kestrel::setup {

namespace {
constexpr int kHelpButton = 9;
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
        return ask(box, help);
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
    const std::string prompt = "Answer (" + keys + " or 1-" + std::to_string(buttons.size()) +
                               ", Enter: " + fallbackLabel + "): ";
    for (;;) {
        const auto typed = input_.readLine(prompt);
        if (!typed) return kNoAnswer;
        const std::string line(platform::trimWhitespace(*typed));
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

void ConsoleUi::openHelp(const std::filesystem::path& file, const std::string& topic) {
    out_ << "Help: " << file.string() << (topic.empty() ? "" : "#" + topic) << "\n";
}

void ConsoleUi::setTitle(const std::string&) {}

PageResult ConsoleUi::showPage(WizardPage& page, const PageActions& actions) {
    if (input_.refused()) return PageResult::Cancel;
    if (!unattended_) return ConsolePage(input_, page, actions).run();
    if (page.accepts(PageResult::Next)) return PageResult::Next;
    const EditField* missing = page.missingField();
    input_.refuse("the installation runs unattended (/S) and " +
                      (missing ? "'" + consoleFieldName(*missing) + "'" : page.title) +
                      " has no value",
                  "start it without /S to answer it");
    return PageResult::Cancel;
}

std::optional<std::string> ConsoleUi::askText(const TextRequest& request) {
    out_ << request.title << ": " << request.prompt << "\n";
    const auto cancelled = [this] {
        out_ << "  -> Cancel\n";
        out_.flush();
        return std::nullopt;
    };
    if (unattended_) return cancelled();
    const auto typed = input_.readLine(
        "Text (Enter alone: " + (request.preset.empty() ? "Cancel" : request.preset) + "): ");
    if (!typed) return std::nullopt;
    std::string line(platform::trimWhitespace(*typed));
    if (line.empty()) line = request.preset;
    if (line.empty()) return cancelled();
    return line;
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

void ConsoleUi::note(const std::string& line) {
    out_ << line << "\n";
    out_.flush();
}

bool ConsoleUi::showTextFile(const std::filesystem::path& file) {
    out_ << "Written to " << file.string() << "\n";
    out_.flush();
    return true;
}

}  // namespace kestrel::setup
