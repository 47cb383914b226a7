#include "ScriptedUi.h"

#include <algorithm>

#include "messages/MessageStrings.h"

namespace kestrel::setup {

int ScriptedUi::messageBox(const MessageBoxRequest& box, const std::function<void()>& help) {
    const std::size_t index = shown.size();
    shown.push_back({box, 0});
    const std::vector<MessageButton> visible = box.visibleButtons();
    int result = box.defaultAnswer();
    while (!answers_.empty()) {
        const int next = answers_.front();
        answers_.pop_front();
        const bool exists = std::ranges::any_of(
            visible, [&](const MessageButton& button) { return button.id == next; });
        if (!exists) continue;
        if (next == buttons::kHelp) {
            help();
            continue;
        }
        result = next;
        break;
    }
    shown[index].answer = result;
    return result;
}

std::optional<std::string> ScriptedUi::askText(const TextRequest& request) {
    textRequests.push_back(request);
    if (texts_.empty()) return std::nullopt;
    std::optional<std::string> text = std::move(texts_.front());
    texts_.pop_front();
    return text;
}

void ScriptedUi::openHelp(const std::filesystem::path& file, const std::string& topic) {
    helpOpened.push_back(file.string() + "#" + topic);
}

void ScriptedUi::setProgressText(const std::string& first, const std::string& second) {
    progress.push_back(first + " | " + second);
}

bool ScriptedUi::cancelRequested() {
    ++polls_;
    return cancelAfterPolls >= 0 && polls_ > cancelAfterPolls;
}

PageResult ScriptedUi::showPage(WizardPage& page, const PageActions& actions) {
    pages.push_back(page);
    while (!pageAnswers_.empty()) {
        PageAnswer answer = std::move(pageAnswers_.front());
        pageAnswers_.pop_front();
        if (answer.help && page.helpVisible) actions.help();
        if (answer.browse && !page.fields.empty() && page.fields[0].browse) {
            if (const auto chosen = actions.browse(page.fields[0].text()))
                page.fields[0].setText(*chosen);
        }
        for (std::size_t i = 0; i < answer.texts.size() && i < page.fields.size(); ++i) {
            EditField& field = page.fields[i];
            if (answer.texts[i] && field.visible && !field.readOnly)
                field.setText(*answer.texts[i]);
        }
        if (answer.choice) page.chosen = *answer.choice;
        if (answer.work) answer.work(page);
        // Cancel that the person takes back leaves the page up for the next answer.
        if (answer.result == PageResult::Cancel && !actions.confirmCancel()) continue;
        return answer.result;
    }
    return page.accepts(PageResult::Next) ? PageResult::Next : PageResult::Cancel;
}

std::optional<std::filesystem::path> ScriptedUi::chooseFolder(const std::filesystem::path& start) {
    folderStarts.push_back(start);
    if (folders_.empty()) return std::nullopt;
    auto folder = std::move(folders_.front());
    folders_.pop_front();
    return folder;
}

std::vector<PageKind> ScriptedUi::pageKinds() const {
    std::vector<PageKind> kinds;
    for (const WizardPage& page : pages) kinds.push_back(page.kind);
    return kinds;
}

std::vector<int> ScriptedUi::numbers() const {
    std::vector<int> result;
    for (const Shown& s : shown) result.push_back(s.box.number);
    return result;
}

}  // namespace kestrel::setup
