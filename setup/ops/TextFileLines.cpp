#include "ops/TextFileLines.h"

namespace kestrel::setup {

TextFileLines TextFileLines::parse(std::string_view text) {
    TextFileLines file;
    if (const std::size_t first = text.find('\n'); first != std::string_view::npos) {
        file.lineBreak_ = first > 0 && text[first - 1] == '\r' ? "\r\n" : "\n";
    }
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t newline = text.find('\n', begin);
        if (newline == std::string_view::npos) {
            file.lines_.push_back({std::string(text.substr(begin)), ""});
            break;
        }
        const bool crlf = newline > begin && text[newline - 1] == '\r';
        const std::size_t end = crlf ? newline - 1 : newline;
        file.lines_.push_back({std::string(text.substr(begin, end - begin)), crlf ? "\r\n" : "\n"});
        begin = newline + 1;
    }
    return file;
}

std::string TextFileLines::serialise() const {
    std::string out;
    for (const Line& line : lines_) out += line.text + line.lineBreak;
    return out;
}

void TextFileLines::append(std::string text) {
    if (!lines_.empty() && lines_.back().lineBreak.empty()) {
        lines_.back().lineBreak = lineBreak_;
        lines_.push_back({std::move(text), ""});
        return;
    }
    lines_.push_back({std::move(text), lineBreak_});
}

void TextFileLines::erase(std::size_t index) {
    const bool lastWithoutBreak = index + 1 == lines_.size() && lines_[index].lineBreak.empty();
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    if (lastWithoutBreak && !lines_.empty()) lines_.back().lineBreak.clear();
}

}  // namespace kestrel::setup
