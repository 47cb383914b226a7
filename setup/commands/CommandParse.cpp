#include "commands/CommandParse.h"

#include "script/Words.h"

namespace kestrel::setup::commands {

std::vector<std::string> splitCommandTokens(std::string_view text) {
    return splitWords(text);
}

std::optional<CommandLine> parseCommandLine(std::string_view text, const Expander& expander) {
    return parseExpandedCommandLine(expander.expandMarked(text));
}

std::optional<CommandLine> parseExpandedCommandLine(std::string text) {
    return parseExpandedCommandLine(ExpandedText{std::move(text), {}});
}

std::optional<CommandLine> parseExpandedCommandLine(ExpandedText expanded) {
    std::string& text = expanded.text;
    std::vector<bool>& places = expanded.place;
    places.resize(text.size(), false);
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
        places.pop_back();
    }
    CommandLine line;
    line.uninstallMarker = !text.empty() && text.front() == '-';
    if (line.uninstallMarker) {
        text.erase(0, 1);
        places.erase(places.begin());
    }
    WordReader words(text, places);
    std::optional<std::string> word = words.next();
    if (!word) return std::nullopt;
    line.word = std::move(*word);
    // The argument text of the commands that take the rest of the line: after the word and
    // one blank, as written.
    const std::size_t at = words.position();
    if (at < text.size()) line.rest = text.substr(at + 1);
    line.text = std::move(text);
    line.places = std::move(places);
    line.arguments = splitWords(line.rest, line.restPlaces());
    return line;
}

}  // namespace kestrel::setup::commands
