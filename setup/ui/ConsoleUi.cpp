#include "ui/ConsoleUi.h"

#include "components/ComponentPage.h"

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

PageResult ConsoleUi::showPage(WizardPage& page, const PageActions&) {
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

}  // namespace kestrel::setup
