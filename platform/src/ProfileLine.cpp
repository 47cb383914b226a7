#include "platform/ProfileLine.h"

#include <utility>

namespace kestrel::platform {

namespace {

bool isProfileBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::size_t skipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isProfileBlank(text[pos])) ++pos;
    return pos;
}

}  // namespace

std::string_view trimProfileBlanks(std::string_view text) {
    const std::size_t begin = skipBlanks(text, 0);
    std::size_t end = text.size();
    while (end > begin && isProfileBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

ProfileLine ProfileLine::classify(std::string text, std::string lineBreak) {
    ProfileLine line;
    line.text = std::move(text);
    line.lineBreak = std::move(lineBreak);

    const std::string_view view = line.text;
    const std::size_t start = skipBlanks(view, 0);
    if (start == view.size() || view[start] == ';') return line;

    if (view[start] == '[') {
        const std::size_t close = view.rfind(']');
        if (close != std::string_view::npos) {
            line.kind = Kind::Section;
            line.name = trimProfileBlanks(view.substr(start + 1, close - start - 1));
            return line;
        }
        // Without a closing bracket the line is read like any other (a key if it has '=').
    }

    const std::size_t equals = view.find('=', start);
    if (equals == std::string_view::npos) return line;
    line.kind = Kind::Key;
    line.name = trimProfileBlanks(view.substr(start, equals - start));
    line.valueOffset = skipBlanks(view, equals + 1);
    return line;
}

std::string_view ProfileLine::rawValue() const {
    return trimProfileBlanks(std::string_view(text).substr(valueOffset));
}

}  // namespace kestrel::platform
