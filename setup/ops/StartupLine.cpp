#include "ops/StartupLine.h"

#include "platform/AsciiCase.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

namespace {

using platform::equalsIgnoreAsciiCase;

// The line's first word: up to a blank or '='.
std::string_view firstWord(std::string_view text) {
    return text.substr(0, text.find_first_of(" \t="));
}

std::vector<std::string> splitList(std::string_view list) {
    std::vector<std::string> items;
    while (!list.empty()) {
        const std::size_t semicolon = list.find(';');
        const std::string_view item = trimBlanks(list.substr(0, semicolon));
        if (!item.empty()) items.emplace_back(item);
        list =
            semicolon == std::string_view::npos ? std::string_view() : list.substr(semicolon + 1);
    }
    return items;
}

// A batch line without its sign: PATH, SET or plain text.
StartupLine readBatchCommand(std::string_view text, StartupLine::Mode mode) {
    StartupLine line;
    line.mode = mode;
    const std::string_view word = firstWord(text);
    std::string_view rest = trimBlanks(text.substr(word.size()));
    if (equalsIgnoreAsciiCase(word, "PATH")) {
        if (rest.starts_with('=')) rest = trimBlanks(rest.substr(1));
        line.kind = StartupLine::Kind::Path;
        line.items = splitList(rest);
        return line;
    }
    const std::size_t equals = rest.find('=');
    if (equalsIgnoreAsciiCase(word, "SET") && text.size() > word.size() &&
        text[word.size()] != '=' && equals != std::string_view::npos &&
        !trimBlanks(rest.substr(0, equals)).empty()) {
        line.kind = StartupLine::Kind::Set;
        line.name = trimBlanks(rest.substr(0, equals));
        line.items = splitList(rest.substr(equals + 1));
        return line;
    }
    line.kind = StartupLine::Kind::Text;
    line.text = text;
    return line;
}

}  // namespace

std::string_view lineText(std::string_view text) {
    return trimBlanks(text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3))));
}

bool isSectionKeyLine(std::string_view text, const std::vector<std::string_view>& keys) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view key = trimBlanks(text.substr(0, equals));
    for (const std::string_view candidate : keys) {
        if (equalsIgnoreAsciiCase(key, candidate)) return true;
    }
    return false;
}

std::optional<StartupLine> readBatchLine(std::string_view text) {
    text = lineText(text);
    auto mode = StartupLine::Mode::Replace;
    if (text.starts_with('-')) {
        mode = StartupLine::Mode::Delete;
        text = trimBlanks(text.substr(1));
    }
    if (text.empty()) return std::nullopt;
    return readBatchCommand(text, mode);
}

platform::Expected<std::optional<StartupLine>, std::string> readConfigSysLine(
    std::string_view text) {
    const std::string_view whole = lineText(text);
    text = whole;
    auto mode = StartupLine::Mode::Replace;
    if (text.starts_with('-') || text.starts_with('+')) {
        mode = text.front() == '-' ? StartupLine::Mode::Delete : StartupLine::Mode::Add;
        text = trimBlanks(text.substr(1));
    }
    if (text.empty()) {
        if (whole.empty()) return std::optional<StartupLine>();
        return platform::unexpected(std::string(whole));
    }
    const std::string_view word = firstWord(text);
    for (const std::string_view command : {"REM", "SET", "PATH"}) {
        if (equalsIgnoreAsciiCase(word, command)) {
            return std::optional<StartupLine>(readBatchCommand(text, mode));
        }
    }
    StartupLine line;
    line.kind = StartupLine::Kind::Parameter;
    line.mode = mode;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos && mode == StartupLine::Mode::Replace) {
        return platform::unexpected(std::string(whole));
    }
    line.name = trimBlanks(text.substr(0, equals));
    if (equals != std::string_view::npos) line.value = trimBlanks(text.substr(equals + 1));
    if (line.name.empty()) return platform::unexpected(std::string(whole));
    return std::optional<StartupLine>(std::move(line));
}

}  // namespace kestrel::setup
