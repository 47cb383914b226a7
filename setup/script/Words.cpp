#include "script/Words.h"

#include "script/ScriptText.h"

namespace kestrel::setup {

std::optional<std::string> WordReader::next() {
    while (at_ < text_.size() && isBlank(text_[at_])) ++at_;
    if (at_ >= text_.size()) return std::nullopt;
    std::string word;
    bool quoted = false;
    int depth = 0;
    for (; at_ < text_.size(); ++at_) {
        const char c = text_[at_];
        if (isPlace(at_)) {
            word += c;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (isBlank(c) && !quoted && depth == 0) {
            break;
        } else {
            if (groupParentheses_ && !quoted && c == '(') ++depth;
            if (groupParentheses_ && !quoted && c == ')' && depth > 0) --depth;
            word += c;
        }
    }
    return word;
}

std::vector<std::string> splitWords(std::string_view text, const std::vector<bool>& places,
                                    bool groupParentheses) {
    std::vector<std::string> words;
    WordReader reader(text, places, groupParentheses);
    while (auto word = reader.next()) words.push_back(std::move(*word));
    return words;
}

}  // namespace kestrel::setup
