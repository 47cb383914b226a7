#include "script/ScriptText.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "messages/MessageStrings.h"
#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

ScriptText::ScriptText(std::string text, std::string name, bool indexed)
    : text_(std::move(text)), name_(std::move(name)), indexed_(indexed) {
    if (!indexed_) return;
    for (std::size_t pos = 0; pos < text_.size();) {
        if (text_[pos] == '[') index_.push_back(pos);
        const std::size_t end = text_.find_first_of("\r\n", pos);
        if (end == std::string::npos) break;
        pos = end + 1;
    }
}

platform::Expected<ScriptText, ScriptLoadError> ScriptText::load(const std::filesystem::path& file,
                                                                 std::string displayName,
                                                                 bool indexed) {
    // O_NONBLOCK: a FIFO must not hang the installer.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return platform::unexpected(ScriptLoadError{messages::kCannotOpenFile, displayName});
    std::string text;
    char chunk[65536];
    bool failed = false;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (failed)
        return platform::unexpected(ScriptLoadError{messages::kCannotReadFile, displayName});
    // The text ends at its first zero byte, as a C string would.
    text.resize(std::min(text.size(), text.find('\0')));
    return ScriptText(std::move(text), std::move(displayName), indexed);
}

ScriptText ScriptText::fromText(std::string text, std::string displayName, bool indexed) {
    text.resize(std::min(text.size(), text.find('\0')));
    return ScriptText(std::move(text), std::move(displayName), indexed);
}

std::optional<std::size_t> ScriptText::findSection(std::string_view name) const {
    const std::string header = "[" + std::string(name) + "]";
    std::size_t found = std::string::npos;
    if (indexed_) {
        for (const std::size_t start : index_) {
            if (platform::startsWithIgnoreAsciiCase(std::string_view(text_).substr(start),
                                                    header)) {
                found = start;
                break;
            }
        }
    } else {
        const std::string lower = platform::asciiLower(text_);
        found = lower.find(platform::asciiLower(header));
    }
    if (found == std::string::npos) return std::nullopt;
    const std::size_t end = text_.find_first_of("\r\n", found);
    return end == std::string::npos ? text_.size() : end + 1;
}

std::optional<ScriptLine> ScriptText::readLine(std::size_t pos, std::size_t size, bool keepComments,
                                               bool allowContinuation) const {
    const std::size_t limit = std::max<std::size_t>(size, 1) - 1;
    while (pos < text_.size() && (isBlank(text_[pos]) || isLineEnd(text_[pos]))) ++pos;
    if (pos >= text_.size() || text_[pos] == '[') return std::nullopt;
    ScriptLine line;
    line.start = pos;
    const bool comment = text_[pos] == ';';
    for (;;) {
        std::size_t end = pos;
        while (end < text_.size() && !isLineEnd(text_[end])) ++end;
        const bool continued = allowContinuation && !comment && end > pos &&
                               text_[end - 1] == '\\' && end < text_.size();
        const std::size_t contentEnd = continued ? end - 1 : end;
        if (!comment || keepComments) {
            const std::size_t room = limit - std::min(limit, line.text.size());
            line.text.append(text_, pos, std::min(room, contentEnd - pos));
        }
        pos = end;
        if (!continued) break;
        // Skip the line end and the next line's leading blanks.
        if (pos < text_.size() && text_[pos] == '\r') ++pos;
        if (pos < text_.size() && text_[pos] == '\n') ++pos;
        while (pos < text_.size() && isBlank(text_[pos])) ++pos;
    }
    line.next = pos;
    return line;
}

std::vector<ScriptLine> ScriptText::sectionLines(std::string_view section, std::size_t size,
                                                 bool allowContinuation) const {
    std::vector<ScriptLine> lines;
    auto pos = findSection(section);
    if (!pos) return lines;
    while (auto line = readLine(*pos, size, false, allowContinuation)) {
        pos = line->next;
        lines.push_back(std::move(*line));
    }
    return lines;
}

std::optional<std::size_t> ScriptText::findKey(std::string_view section,
                                               std::string_view key) const {
    auto pos = findSection(section);
    if (!pos) return std::nullopt;
    const std::string_view wanted = trimBlanks(key);
    while (auto line = readLine(*pos, 256, false, false)) {
        pos = line->next;
        const std::size_t equals = line->text.find('=');
        if (equals == std::string::npos) continue;
        if (platform::equalsIgnoreAsciiCase(
                trimBlanks(std::string_view(line->text).substr(0, equals)), wanted)) {
            return line->start + equals + 1;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ScriptText::readValue(std::string_view section, std::string_view key,
                                                 std::size_t size) const {
    auto pos = findKey(section, key);
    if (!pos) return std::nullopt;
    std::size_t start = *pos;
    while (start < text_.size() && isBlank(text_[start])) ++start;
    std::size_t end = start;
    while (end < text_.size() && !isLineEnd(text_[end])) ++end;
    const std::size_t limit = std::max<std::size_t>(size, 1) - 1;
    std::string value = text_.substr(start, std::min(limit, end - start));
    return std::string(trimBlanks(value));
}

std::size_t ScriptText::lineNumberAt(std::size_t pos) const {
    pos = std::min(pos, text_.size());
    std::size_t line = 1;
    for (std::size_t i = 0; i < pos; ++i) {
        if (text_[i] == '\n' ||
            (text_[i] == '\r' && (i + 1 >= text_.size() || text_[i + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

}  // namespace kestrel::setup
