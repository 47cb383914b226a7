#include "ui/CodePageUi.h"

#include "components/ComponentPage.h"

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

// The front end sees the page in UTF-8; what comes back (the edits, a browsed folder) is
// turned back into installer text.
PageResult CodePageUi::showPage(WizardPage& page, const PageActions& actions) {
    WizardPage decoded = page;
    for (std::string* text : {&decoded.title, &decoded.text, &decoded.question, &decoded.nextLabel,
                              &decoded.cancelLabel})
        *text = utf8(*text);
    for (PageChoice& choice : decoded.choices) {
        choice.text = utf8(choice.text);
        choice.detail = utf8(choice.detail);
    }
    for (EditField& field : decoded.fields) {
        field.utf8 = true;  // the limit counts characters, not bytes
        field.setLabel(utf8(field.label()));
        field.setText(utf8(field.text()));
    }
    PageActions wrapped = actions;
    if (actions.browse) {
        wrapped.browse = [this,
                          &actions](const std::string& current) -> std::optional<std::string> {
            const auto chosen = actions.browse(ansi(current));
            if (!chosen) return std::nullopt;
            return utf8(*chosen);
        };
    }
    // The component page speaks while it is up: its texts are decoded as they come out.
    if (page.components)
        page.components->setDisplay([this](const std::string& text) { return utf8(text); });
    const PageResult result = frontEnd_.showPage(decoded, wrapped);
    if (page.components) page.components->setDisplay([](const std::string& text) { return text; });
    page.chosen = decoded.chosen;
    for (std::size_t i = 0; i < page.fields.size(); ++i)
        page.fields[i].setText(ansi(decoded.fields[i].text()));
    return result;
}

std::optional<std::string> CodePageUi::askText(const TextRequest& request) {
    const std::optional<std::string> answer =
        frontEnd_.askText({utf8(request.title), utf8(request.prompt), utf8(request.preset)});
    if (!answer) return std::nullopt;
    return ansi(*answer);
}

void CodePageUi::showProgress(const ProgressView& view) {
    ProgressView decoded = view;
    for (std::string* text : {&decoded.title, &decoded.firstLabel, &decoded.first,
                              &decoded.secondLabel, &decoded.second})
        *text = utf8(*text);
    frontEnd_.showProgress(decoded);
}

BackgroundWindow* CodePageUi::openMainWindow(const MainWindowContent& content) {
    MainWindowContent decoded = content;
    for (BackgroundText& text : decoded.texts) {
        text.text = utf8(text.text);
        text.face = utf8(text.face);
    }
    decoded.text = [this, text = content.text](std::size_t index) { return utf8(text(index)); };
    return frontEnd_.openMainWindow(decoded);
}

}  // namespace kestrel::setup
