#include "messages/MessageEngine.h"

#include "messages/MessageStrings.h"

namespace kestrel::setup {

MessageEngine::MessageEngine(Ui& ui, const StringTable& strings)
    : ui_(ui), strings_(strings), caption_(strings.text(strings::kCaption).substr(0, 80)) {}

int MessageEngine::show(int number, const std::vector<MessageArg>& args) {
    return show(number, args, {});
}

int MessageEngine::show(int number, const std::vector<MessageArg>& args, std::string_view reason) {
    auto spec = parseMessageSpec(strings_.message(number));
    if (!spec) return 1;
    MessageBoxRequest box;
    box.number = number;
    box.caption = caption_;
    box.text = formatMessage(spec->text, args);
    if (!reason.empty()) box.text += "\n" + std::string(reason);
    box.spec = std::move(*spec);
    box.helpAvailable = !helpFile_.empty();
    box.systemModal = systemModal_;
    lastText_ = box.text;
    const int answer = ui_.messageBox(box, [this, number] { help(number); });
    if (answer != Ui::kNoAnswer) return answer;
    // Nobody could answer: the run ends, and until it has, a question counts as refused.
    unanswered_ = true;
    for (const int refusal : {buttons::kCancel, buttons::kNo}) {
        for (const MessageButton& button : box.visibleButtons()) {
            if (button.id == refusal) return refusal;
        }
    }
    return box.defaultAnswer();
}

void MessageEngine::note(std::string_view format, const std::vector<MessageArg>& args,
                         std::string_view caption) {
    MessageBoxRequest box;
    box.caption = caption.empty() ? caption_ : std::string(caption);
    box.text = formatMessage(format, args);
    box.spec.icon = MessageIcon::Information;
    box.spec.buttons = {{"OK", 1}};
    box.systemModal = systemModal_;
    ui_.messageBox(box, [] {});
}

void MessageEngine::help(int context, std::string_view keyword) {
    if (helpFile_.empty()) {
        show(messages::kNoHelp);
        return;
    }
    std::string topic;
    if (!keyword.empty()) {
        topic = std::string(keyword);
    } else if (context != 0 && context != -1) {
        topic = std::to_string(context);
    }
    ui_.openHelp(helpFile_, topic);
}

}  // namespace kestrel::setup
