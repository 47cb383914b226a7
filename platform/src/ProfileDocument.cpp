#include "platform/ProfileDocument.h"

#include <algorithm>

#include "platform/AsciiCase.h"

namespace kestrel::platform {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

bool isStorableKey(std::string_view key) {
    return !key.empty() && key.find('=') == key.npos && key.front() != ';' && key.front() != '[' &&
           !hasLineBreak(key);
}

void appendUnique(std::vector<std::string>& names, const std::string& name) {
    const bool seen = std::ranges::any_of(
        names, [&](const std::string& other) { return equalsIgnoreAsciiCase(other, name); });
    if (!seen) names.push_back(name);
}

// Quotes enclosing the whole value are not part of it.
std::string unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

}  // namespace

ProfileDocument ProfileDocument::parse(std::string_view text) {
    ProfileDocument doc;
    if (text.starts_with(kUtf8ByteOrderMark)) {
        doc.byteOrderMark_ = kUtf8ByteOrderMark;
        text.remove_prefix(kUtf8ByteOrderMark.size());
    }
    if (const std::size_t firstBreak = text.find('\n'); firstBreak != text.npos) {
        doc.lineBreak_ = (firstBreak > 0 && text[firstBreak - 1] == '\r') ? "\r\n" : "\n";
    }
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t newline = text.find('\n', begin);
        if (newline == text.npos) {
            doc.lines_.push_back(ProfileLine::classify(std::string(text.substr(begin)), ""));
            break;
        }
        const bool crlf = newline > begin && text[newline - 1] == '\r';
        const std::size_t end = crlf ? newline - 1 : newline;
        doc.lines_.push_back(ProfileLine::classify(std::string(text.substr(begin, end - begin)),
                                                   crlf ? "\r\n" : "\n"));
        begin = newline + 1;
    }
    return doc;
}

std::string ProfileDocument::serialise() const {
    std::string out = byteOrderMark_;
    for (const ProfileLine& line : lines_) {
        out += line.text;
        out += line.lineBreak;
    }
    return out;
}

std::optional<std::size_t> ProfileDocument::findSection(std::string_view name) const {
    name = trimProfileBlanks(name);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == ProfileLine::Kind::Section &&
            equalsIgnoreAsciiCase(lines_[i].name, name)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t ProfileDocument::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != ProfileLine::Kind::Section) ++i;
    return i;
}

std::optional<std::string> ProfileDocument::get(std::string_view section,
                                                std::string_view key) const {
    const auto header = findSection(section);
    if (!header) return std::nullopt;
    key = trimProfileBlanks(key);
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        const ProfileLine& line = lines_[i];
        if (line.kind == ProfileLine::Kind::Key && equalsIgnoreAsciiCase(line.name, key)) {
            return unquote(line.rawValue());
        }
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> ProfileDocument::entries(
    std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> found;
    const auto header = findSection(section);
    if (!header) return found;
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        const ProfileLine& line = lines_[i];
        if (line.kind == ProfileLine::Kind::Key) {
            found.emplace_back(line.name, std::string(line.rawValue()));
        }
    }
    return found;
}

std::vector<std::string> ProfileDocument::sectionNames() const {
    std::vector<std::string> names;
    for (const ProfileLine& line : lines_) {
        if (line.kind == ProfileLine::Kind::Section) appendUnique(names, line.name);
    }
    return names;
}

std::vector<std::string> ProfileDocument::keys(std::string_view section) const {
    std::vector<std::string> names;
    const auto header = findSection(section);
    if (!header) return names;
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        const ProfileLine& line = lines_[i];
        if (line.kind == ProfileLine::Kind::Key && !line.name.empty()) {
            appendUnique(names, line.name);
        }
    }
    return names;
}

bool ProfileDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    return insertKeyLine(section, key, value, true);
}

bool ProfileDocument::addLine(std::string_view section, std::string_view key,
                              std::string_view value) {
    return insertKeyLine(section, key, value, false);
}

bool ProfileDocument::insertKeyLine(std::string_view section, std::string_view key,
                                    std::string_view value, bool replaceExisting) {
    section = trimProfileBlanks(section);
    key = trimProfileBlanks(key);
    if (hasLineBreak(section) || !isStorableKey(key) || hasLineBreak(value)) return false;

    const std::string keyLine = std::string(key) + "=" + std::string(value);
    const auto header = findSection(section);
    if (!header) {
        std::vector<std::string> texts;
        if (!lines_.empty() && !trimProfileBlanks(lines_.back().text).empty()) texts.emplace_back();
        texts.push_back("[" + std::string(section) + "]");
        texts.push_back(keyLine);
        insertLines(lines_.size(), texts);
        return true;
    }

    std::size_t insertAt = *header + 1;
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        ProfileLine& line = lines_[i];
        if (line.kind != ProfileLine::Kind::Key) continue;
        if (replaceExisting && equalsIgnoreAsciiCase(line.name, key)) {
            // Keep the line's own spelling and spacing up to the value.
            line.text = line.text.substr(0, line.valueOffset) + std::string(value);
            return true;
        }
        insertAt = i + 1;
    }
    insertLines(insertAt, {keyLine});
    return true;
}

std::optional<std::size_t> ProfileDocument::findLine(std::size_t header, std::string_view key,
                                                     std::string_view value) const {
    key = trimProfileBlanks(key);
    value = trimProfileBlanks(value);
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const ProfileLine& line = lines_[i];
        if (line.kind == ProfileLine::Kind::Key && equalsIgnoreAsciiCase(line.name, key) &&
            equalsIgnoreAsciiCase(line.rawValue(), value)) {
            return i;
        }
    }
    return std::nullopt;
}

bool ProfileDocument::hasLine(std::string_view section, std::string_view key,
                              std::string_view value) const {
    const auto header = findSection(section);
    return header && findLine(*header, key, value);
}

bool ProfileDocument::removeLine(std::string_view section, std::string_view key,
                                 std::string_view value) {
    const auto header = findSection(section);
    if (!header) return false;
    bool removed = false;
    while (const auto line = findLine(*header, key, value)) {
        eraseLines(*line, *line + 1);
        removed = true;
    }
    return removed;
}

bool ProfileDocument::remove(std::string_view section, std::string_view key) {
    const auto header = findSection(section);
    if (!header) return false;
    key = trimProfileBlanks(key);
    bool removed = false;
    // Backwards, so erasing keeps the remaining indices valid.
    for (std::size_t i = sectionEnd(*header); i-- > *header + 1;) {
        if (lines_[i].kind == ProfileLine::Kind::Key &&
            equalsIgnoreAsciiCase(lines_[i].name, key)) {
            eraseLines(i, i + 1);
            removed = true;
        }
    }
    return removed;
}

bool ProfileDocument::removeSection(std::string_view section) {
    bool removed = false;
    while (const auto header = findSection(section)) {
        eraseLines(*header, sectionEnd(*header));
        removed = true;
    }
    return removed;
}

bool ProfileDocument::removeEmptySection(std::string_view section) {
    const auto header = findSection(section);
    if (!header) return false;
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (lines_[i].kind == ProfileLine::Kind::Key) return false;
    }
    // set() separates a section it appends with a blank line after a non-blank one.
    std::size_t from = *header;
    if (end == lines_.size() && from >= 2 && trimProfileBlanks(lines_[from - 1].text).empty() &&
        !trimProfileBlanks(lines_[from - 2].text).empty()) {
        --from;
    }
    eraseLines(from, end);
    return true;
}

void ProfileDocument::insertLines(std::size_t at, const std::vector<std::string>& texts) {
    if (texts.empty()) return;
    std::vector<ProfileLine> added;
    added.reserve(texts.size());
    for (const std::string& text : texts) added.push_back(ProfileLine::classify(text, lineBreak_));
    // Appending to a file whose last line has no line break: that line gets one, and the new
    // last line goes without, so the file keeps its shape.
    if (at == lines_.size() && !lines_.empty() && lines_.back().lineBreak.empty()) {
        lines_.back().lineBreak = lineBreak_;
        added.back().lineBreak.clear();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
}

void ProfileDocument::eraseLines(std::size_t from, std::size_t to) {
    // Erasing the last line of a file without a final line break: the new last line loses its
    // break so the file keeps its shape.
    const bool endsWithoutBreak = to == lines_.size() && lines_.back().lineBreak.empty();
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(from),
                 lines_.begin() + static_cast<std::ptrdiff_t>(to));
    if (endsWithoutBreak && !lines_.empty()) lines_.back().lineBreak.clear();
}

}  // namespace kestrel::platform
