#include "ConfigFile.h"

#include <cstdio>
#include <optional>

#include "platform/AsciiCase.h"
#include "platform/ProfileLine.h"

namespace kestrel::rclog {

namespace {

using platform::equalsIgnoreAsciiCase;
// Blanks around lines, keys and values are white space, as in profile files.
using platform::trimProfileBlanks;

std::string lineMessage(int line, const char* what) {
    char text[160];
    std::snprintf(text, sizeof text, "At line #%d: %s.\nOption on this line is skipped.", line,
                  what);
    return text;
}

struct Entry {
    std::string_view key;
    std::optional<std::string_view> value;
};

// The key runs up to the first '=' (leading '=' skipped); the value follows after any '=' and
// '#' and ends before the next of them, so a '#' after the value starts a comment.
Entry splitEntry(std::string_view line) {
    const std::size_t keyStart = line.find_first_not_of('=');
    if (keyStart == std::string_view::npos) return {};
    const std::size_t keyEnd = std::min(line.find('=', keyStart), line.size());
    Entry entry{trimProfileBlanks(line.substr(keyStart, keyEnd - keyStart)), std::nullopt};
    const std::size_t valueStart = line.find_first_not_of("=#", keyEnd);
    if (valueStart == std::string_view::npos) return entry;
    const std::size_t valueEnd = std::min(line.find_first_of("=#", valueStart), line.size());
    const std::string_view value =
        trimProfileBlanks(line.substr(valueStart, valueEnd - valueStart));
    if (!value.empty()) entry.value = value;
    return entry;
}

// Applies one entry; returns the reason when the value cannot be taken.
const char* apply(std::string_view key, std::string_view value, Settings& settings) {
    if (equalsIgnoreAsciiCase(key, "RCViewer")) {
        if (value.size() > kViewerNameLimit) return "Value too long (more than 99 characters)";
        settings.viewer = value;
    } else if (equalsIgnoreAsciiCase(key, "Debug")) {
        settings.debug = equalsIgnoreAsciiCase(value, "On");
    } else if (equalsIgnoreAsciiCase(key, "Notify")) {
        settings.notify = !equalsIgnoreAsciiCase(value, "Off");
    } else if (equalsIgnoreAsciiCase(key, "LogNDSInfo")) {
        settings.logDirectoryData = equalsIgnoreAsciiCase(value, "On");
    } else if (equalsIgnoreAsciiCase(key, "LogFileHome")) {
        if (value.size() > kLogHomeLimit) return "Value too long (more than 303 characters)";
        settings.logFileHome = value;
    }
    return nullptr;
}

}  // namespace

std::vector<std::string> applyConfig(std::string_view text, Settings& settings) {
    std::vector<std::string> messages;
    int number = 0;
    // A last line without a line break is read like any other: dropping it would silently
    // lose the setting written there.
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;

        // A line is a C string: it ends at its first NUL.
        line = line.substr(0, line.find('\0'));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > kConfigLineLimit) {
            messages.push_back(lineMessage(number, "Line too long (more than 499 characters)"));
            continue;
        }
        line = trimProfileBlanks(line);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;

        const Entry entry = splitEntry(line);
        if (!entry.value) {
            messages.push_back(lineMessage(number, "Required parameter missing"));
            continue;
        }
        if (const char* refused = apply(entry.key, *entry.value, settings))
            messages.push_back(lineMessage(number, refused));
    }
    return messages;
}

}  // namespace kestrel::rclog
