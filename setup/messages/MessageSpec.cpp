#include "messages/MessageSpec.h"

namespace kestrel::setup {

MessageIcon iconOfLetter(char letter) {
    switch (letter) {
        case 's':
            return MessageIcon::Stop;
        case '?':
            return MessageIcon::Question;
        case '!':
            return MessageIcon::Exclamation;
        default:
            return MessageIcon::Information;
    }
}

namespace {

// Reads "Label=Number[!]" items separated by "|".
void parseButtons(std::string_view group, MessageSpec& spec) {
    bool defaultSeen = false;
    std::size_t start = 0;
    while (start <= group.size()) {
        std::size_t end = group.find('|', start);
        if (end == std::string_view::npos) end = group.size();
        const std::string_view item = group.substr(start, end - start);
        start = end + 1;
        MessageButton button;
        const std::size_t equals = item.find('=');
        button.label = std::string(item.substr(0, equals));
        std::size_t pos = equals == std::string_view::npos ? item.size() : equals + 1;
        while (pos < item.size() && item[pos] >= '0' && item[pos] <= '9' && button.id < 100000) {
            button.id = button.id * 10 + (item[pos++] - '0');
        }
        if (pos < item.size() && item[pos] == '!' && !defaultSeen) {
            defaultSeen = true;
            spec.defaultButton = spec.buttons.size();
        }
        spec.buttons.push_back(std::move(button));
    }
}

}  // namespace

std::optional<MessageSpec> parseMessageSpec(std::string_view message) {
    if (message.empty()) return std::nullopt;
    const char open = message[0];
    const char close = message.size() > 2 ? message[2] : ']';
    MessageSpec spec;
    spec.iconLetter = message.size() > 1 ? message[1] : 'i';
    spec.icon = iconOfLetter(spec.iconLetter);

    std::size_t pos = std::min<std::size_t>(3, message.size());
    const auto group = [&]() -> std::optional<std::string_view> {
        const std::size_t start = message.find(open, pos);
        if (start == std::string_view::npos) {
            pos = message.size();
            return std::nullopt;
        }
        std::size_t end = message.find(close, start + 1);
        if (end == std::string_view::npos) end = message.size();
        pos = std::min(end + 1, message.size());
        return message.substr(start + 1, end - start - 1);
    };
    if (auto text = group()) spec.text = std::string(*text);
    if (auto buttons = group(); buttons && !buttons->empty()) parseButtons(*buttons, spec);
    return spec;
}

}  // namespace kestrel::setup
