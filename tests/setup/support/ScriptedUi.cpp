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

std::vector<int> ScriptedUi::numbers() const {
    std::vector<int> result;
    for (const Shown& s : shown) result.push_back(s.box.number);
    return result;
}

}  // namespace kestrel::setup
