#include "messages/StringTable.h"

#include "messages/MessageStrings.h"
#include "platform/AtomicFile.h"

namespace kestrel::setup {

namespace {

std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == 'n' || next == 't' || next == '\\') {
                out += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace

std::vector<std::string> StringTable::loadLanguageFile(const std::filesystem::path& file) {
    std::vector<std::string> problems;
    const auto content = platform::readWholeFile(file);
    if (!content) return problems;
    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    while (pos < content->size()) {
        std::size_t end = content->find('\n', pos);
        if (end == std::string::npos) end = content->size();
        std::string_view line(content->data() + pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        const std::size_t equals = line.find('=');
        int number = 0;
        bool valid = equals != std::string_view::npos && equals > 0 && equals <= 6;
        for (std::size_t i = 0; valid && i < equals; ++i) {
            valid = line[i] >= '0' && line[i] <= '9';
            number = number * 10 + (line[i] - '0');
        }
        if (!valid) {
            problems.push_back(file.string() + ":" + std::to_string(lineNumber) +
                               ": expected number=text");
            continue;
        }
        replaced_[number] = unescape(line.substr(equals + 1));
    }
    return problems;
}

std::string StringTable::lookup(int number, std::size_t limit) const {
    std::string text;
    if (const auto it = replaced_.find(number); it != replaced_.end()) {
        text = it->second;
    } else if (const char* builtin = builtinString(number)) {
        text = builtin;
    }
    if (text.size() > limit) text.resize(limit);
    return text;
}

std::string StringTable::text(int number) const {
    return lookup(number, 255);
}

std::string StringTable::message(int number) const {
    return lookup(number, 511);
}

std::string StringTable::format(int number, const std::vector<MessageArg>& args) const {
    return formatMessage(text(number), args);
}

}  // namespace kestrel::setup
