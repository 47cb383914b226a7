#include "commands/Command.h"

#include <algorithm>

#include "platform/AsciiCase.h"
#include "platform/CommandLine.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup::commands {

namespace {

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool hasDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' && isDriveLetter(path[0]);
}

using platform::isWindowsPathSeparator;

// An empty name leaves the directory as it is: "D:" and "" name the current directory itself.
std::string joined(std::string_view directory, std::string_view name) {
    return name.empty() ? std::string(directory) : platform::joinWindowsPath(directory, name);
}

// A character the text does not hold (and that no command line separates at), to stand for
// the blanks of places while the line is split; 0 when every candidate is taken.
char standIn(std::string_view text) {
    for (char c = 1; c < ' '; ++c) {
        if (c != '\t' && text.find(c) == std::string_view::npos) return c;
    }
    return 0;
}

}  // namespace

std::string programCommandLine(const std::string& text, const std::vector<bool>& places) {
    std::string masked = text;
    bool placeBlanks = false;
    const char blank = standIn(text);
    for (std::size_t i = 0; i < masked.size() && i < places.size(); ++i) {
        if (places[i] && masked[i] == ' ') {
            masked[i] = blank;
            placeBlanks = true;
        }
    }
    if (!placeBlanks || blank == 0) return text;
    // Split as the program's C runtime will split it, with the places' blanks kept out of
    // the way, then joined again with the quotes those words need.
    std::vector<std::string> argv = platform::splitCommandLine(masked);
    for (std::string& argument : argv) std::replace(argument.begin(), argument.end(), blank, ' ');
    return platform::joinCommandLine(argv);
}

std::vector<bool> CommandLine::restPlaces() const {
    if (places.size() < text.size() || rest.size() > text.size()) return {};
    const auto from = places.end() - static_cast<std::ptrdiff_t>(rest.size());
    return std::vector<bool>(from, places.end());
}

std::string CommandLine::textAsCommandLine() const {
    return programCommandLine(text, places);
}

std::string CommandLine::restAsCommandLine() const {
    return programCommandLine(rest, restPlaces());
}

std::string CommandState::absolutePath(std::string_view path) const {
    if (path.size() >= 2 && isWindowsPathSeparator(path[0]) && isWindowsPathSeparator(path[1]))
        return std::string(path);
    if (hasDrive(path)) {
        if (path.size() > 2 && isWindowsPathSeparator(path[2])) return std::string(path);
        // "D:x": relative to the current directory when that is on drive D, else to D's root.
        if (hasDrive(currentDirectory) &&
            platform::asciiLower(currentDirectory[0]) == platform::asciiLower(path[0]))
            return joined(currentDirectory, path.substr(2));
        return joined(std::string(path.substr(0, 2)) + '\\', path.substr(2));
    }
    if (!path.empty() && isWindowsPathSeparator(path[0])) {
        const std::string_view drive = hasDrive(currentDirectory)
                                           ? std::string_view(currentDirectory).substr(0, 2)
                                           : std::string_view();
        return std::string(drive) + std::string(path);
    }
    return joined(currentDirectory, path);
}

void CommandTable::add(std::string_view word, CommandSpec spec) {
    commands_[platform::asciiLower(word)] = std::move(spec);
}

const CommandSpec* CommandTable::find(std::string_view word) const {
    const auto found = commands_.find(platform::asciiLower(word));
    if (found != commands_.end()) return &found->second;
    return fallback_.handler ? &fallback_ : nullptr;
}

}  // namespace kestrel::setup::commands
