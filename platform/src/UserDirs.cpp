#include "UserDirs.h"

#include <algorithm>
#include <string>

namespace kestrel::platform {

namespace {

void skipBlanks(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
}

bool consume(std::string_view line, std::size_t& pos, std::string_view token) {
    if (line.substr(pos).substr(0, token.size()) != token) return false;
    pos += token.size();
    return true;
}

std::optional<std::filesystem::path> parseLine(std::string_view line, std::string_view name,
                                               const std::filesystem::path& home) {
    std::size_t pos = 0;
    skipBlanks(line, pos);
    if (!consume(line, pos, name)) return std::nullopt;
    skipBlanks(line, pos);
    if (!consume(line, pos, "=")) return std::nullopt;
    skipBlanks(line, pos);
    if (!consume(line, pos, "\"")) return std::nullopt;

    const bool relativeToHome = consume(line, pos, "$HOME/");
    if (!relativeToHome && (pos >= line.size() || line[pos] != '/')) return std::nullopt;

    std::string rest;
    while (pos < line.size() && line[pos] != '"') {
        if (line[pos] == '\\' && pos + 1 < line.size()) ++pos;
        rest += line[pos++];
    }
    if (!relativeToHome) return std::filesystem::path(rest);
    // "$HOME/" alone means the home directory itself (a disabled folder).
    const std::size_t start = rest.find_first_not_of('/');
    if (start == std::string::npos) return home;
    return home / rest.substr(start);
}

}  // namespace

std::optional<std::filesystem::path> lookupUserDir(std::string_view fileText, std::string_view name,
                                                   const std::filesystem::path& home) {
    std::optional<std::filesystem::path> found;
    std::size_t begin = 0;
    while (begin <= fileText.size()) {
        const std::size_t end = std::min(fileText.find('\n', begin), fileText.size());
        // Like the shell that sources the file, a later assignment overrides an earlier one.
        if (auto dir = parseLine(fileText.substr(begin, end - begin), name, home)) found = dir;
        begin = end + 1;
    }
    return found;
}

}  // namespace kestrel::platform
