#include "ops/StartupFileEdits.h"

#include <optional>

#include "ops/ListValue.h"
#include "platform/AsciiCase.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

namespace {

using platform::equalsIgnoreAsciiCase;

constexpr std::string_view kBlanks = " \t";

std::size_t skipBlanks(std::string_view text, std::size_t pos) {
    return std::min(text.find_first_not_of(kBlanks, pos), text.size());
}

// Where a line's first word begins and ends (up to a blank or '=').
struct Word {
    std::size_t begin = 0;
    std::size_t end = 0;
};
Word firstWord(std::string_view text) {
    const std::size_t begin = skipBlanks(text, 0);
    return {begin, std::min(text.find_first_of(" \t=", begin), text.size())};
}
std::string_view wordText(std::string_view text, Word word) {
    return text.substr(word.begin, word.end - word.begin);
}

// A line that carries a list, split where the list begins: "PATH C:\DOS;C:\WIN" or
// "SET TEMP=C:\TEMP". Keeping the head as written keeps the rest of the line as it was.
struct ListLine {
    std::size_t index = 0;
    std::string head;
    std::string list;
};

std::optional<ListLine> findPathLine(const TextFileLines& file) {
    for (std::size_t i = 0; i < file.size(); ++i) {
        const std::string_view text = file[i];
        const Word word = firstWord(text);
        if (!equalsIgnoreAsciiCase(wordText(text, word), "PATH")) continue;
        std::size_t start = skipBlanks(text, word.end);
        if (start < text.size() && text[start] == '=') start = skipBlanks(text, start + 1);
        return ListLine{i, std::string(text.substr(0, start)), std::string(text.substr(start))};
    }
    return std::nullopt;
}

std::optional<ListLine> findSetLine(const TextFileLines& file, std::string_view name) {
    for (std::size_t i = 0; i < file.size(); ++i) {
        const std::string_view text = file[i];
        const Word word = firstWord(text);
        if (word.end >= text.size() || text[word.end] == '=' ||
            !equalsIgnoreAsciiCase(wordText(text, word), "SET")) {
            continue;
        }
        const std::size_t equals = text.find('=', word.end);
        if (equals == std::string_view::npos) continue;
        if (!equalsIgnoreAsciiCase(trimBlanks(text.substr(word.end, equals - word.end)), name)) {
            continue;
        }
        return ListLine{i, std::string(text.substr(0, equals + 1)),
                        std::string(text.substr(equals + 1))};
    }
    return std::nullopt;
}

// Puts the item into the line's list (a new line `fresh` when there is no such line), or
// takes it out; a line left without items goes.
void editListLine(TextFileLines& file, const std::optional<ListLine>& line, std::string_view item,
                  bool remove, const std::string& fresh) {
    if (item.empty()) return;
    if (!line) {
        if (!remove) file.append(fresh);
        return;
    }
    const std::string list = remove ? listWithout(line->list, item, kSemicolonList)
                                    : listWith(line->list, item, kSemicolonList);
    if (list == line->list) return;
    if (remove && listEmpty(list, kSemicolonList)) {
        file.erase(line->index);
    } else {
        file.replace(line->index, line->head + list);
    }
}

void editText(TextFileLines& file, std::string_view text, bool remove) {
    for (std::size_t i = file.size(); i-- > 0;) {
        if (trimBlanks(file[i]) != text) continue;
        if (!remove) return;
        file.erase(i);
    }
    if (!remove) file.append(std::string(text));
}

bool isDeviceParameter(std::string_view name) {
    return equalsIgnoreAsciiCase(name, "device") || equalsIgnoreAsciiCase(name, "devicehigh");
}

// The driver a device line loads: the first word of its value.
std::string_view driverOf(std::string_view value) {
    const std::size_t begin = skipBlanks(value, 0);
    return value.substr(begin, value.find_first_of(kBlanks, begin) - begin);
}

// Whether the file's line sets the parameter (device and devicehigh are one, for the same
// driver only).
bool matchesParameter(std::string_view text, const StartupLine& line) {
    const Word word = firstWord(text);
    const std::string_view name = wordText(text, word);
    if (!isDeviceParameter(line.name)) return equalsIgnoreAsciiCase(name, line.name);
    if (!isDeviceParameter(name)) return false;
    std::size_t valueStart = skipBlanks(text, word.end);
    if (valueStart < text.size() && text[valueStart] == '=') ++valueStart;
    return sameFileName(driverOf(text.substr(valueStart)), driverOf(line.value));
}

std::string parameterLine(std::string_view name, std::string_view value) {
    if (value.empty()) return std::string(name);
    return std::string(name) + " = " + std::string(value);
}

void editParameter(TextFileLines& file, const StartupLine& line, bool remove) {
    if (remove) {
        for (std::size_t i = file.size(); i-- > 0;) {
            if (matchesParameter(file[i], line)) file.erase(i);
        }
        return;
    }
    if (line.mode == StartupLine::Mode::Replace) {
        for (std::size_t i = 0; i < file.size(); ++i) {
            if (!matchesParameter(file[i], line)) continue;
            // The parameter keeps the spelling it has in the file.
            const std::string_view text = file[i];
            file.replace(i, parameterLine(wordText(text, firstWord(text)), line.value));
            return;
        }
    }
    file.append(parameterLine(line.name, line.value));
}

}  // namespace

void applyStartupLine(TextFileLines& file, const StartupLine& line, bool remove) {
    switch (line.kind) {
        case StartupLine::Kind::Path:
            for (const std::string& directory : line.items) {
                editListLine(file, findPathLine(file), directory, remove, "PATH " + directory);
            }
            break;
        case StartupLine::Kind::Set:
            for (const std::string& item : line.items) {
                editListLine(file, findSetLine(file, line.name), item, remove,
                             "SET " + line.name + "=" + item);
            }
            break;
        case StartupLine::Kind::Text:
            editText(file, line.text, remove);
            break;
        case StartupLine::Kind::Parameter:
            editParameter(file, line, remove);
            break;
    }
}

}  // namespace kestrel::setup
