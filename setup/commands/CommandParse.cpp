#include "commands/CommandParse.h"

namespace kestrel::setup::commands {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Reads the token that starts at `at` (at a non-blank) and leaves `at` behind it.
std::string readToken(std::string_view text, std::size_t& at) {
    std::string token;
    bool quoted = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"') {
            quoted = !quoted;
        } else if (isBlank(c) && !quoted) {
            break;
        } else {
            token += c;
        }
    }
    return token;
}

std::size_t skipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && isBlank(text[at])) ++at;
    return at;
}

}  // namespace

std::vector<std::string> splitCommandTokens(std::string_view text) {
    std::vector<std::string> tokens;
    for (std::size_t at = skipBlanks(text, 0); at < text.size(); at = skipBlanks(text, at))
        tokens.push_back(readToken(text, at));
    return tokens;
}

std::optional<CommandLine> parseCommandLine(std::string_view text, const Expander& expander) {
    return parseExpandedCommandLine(expander.expand(text));
}

std::optional<CommandLine> parseExpandedCommandLine(std::string text) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    CommandLine line;
    line.uninstallMarker = !text.empty() && text.front() == '-';
    if (line.uninstallMarker) text.erase(0, 1);
    std::size_t at = skipBlanks(text, 0);
    if (at == text.size()) return std::nullopt;
    line.word = readToken(text, at);
    // The argument text of the commands that take the rest of the line: after the word and
    // one blank, as written.
    if (at < text.size()) line.rest = text.substr(at + 1);
    line.arguments = splitCommandTokens(line.rest);
    line.text = std::move(text);
    return line;
}

}  // namespace kestrel::setup::commands
