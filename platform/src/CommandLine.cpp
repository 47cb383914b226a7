#include "platform/CommandLine.h"

namespace kestrel::platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Reads argv[0]: quotes toggle grouping and vanish, nothing is escaped.
std::string readProgramName(std::string_view line, std::size_t& pos) {
    std::string name;
    bool quoted = false;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && isBlank(c)) {
            ++pos;  // the runtime consumes the blank that ends argv[0]
            break;
        } else {
            name += c;
        }
        ++pos;
    }
    return name;
}

// Reads one argument starting at a non-blank character.
std::string readArgument(std::string_view line, std::size_t& pos) {
    std::string arg;
    bool quoted = false;
    while (pos < line.size()) {
        std::size_t backslashes = 0;
        while (pos < line.size() && line[pos] == '\\') {
            ++backslashes;
            ++pos;
        }
        if (pos < line.size() && line[pos] == '"') {
            arg.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                arg += '"';
            } else if (quoted && pos + 1 < line.size() && line[pos + 1] == '"') {
                arg += '"';  // "" inside quotes: a literal quote, still quoted
                ++pos;
            } else {
                quoted = !quoted;
            }
            ++pos;
            continue;
        }
        arg.append(backslashes, '\\');
        if (pos >= line.size() || (!quoted && isBlank(line[pos]))) break;
        arg += line[pos++];
    }
    return arg;
}

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view commandLine) {
    const std::string_view line = commandLine.substr(0, commandLine.find('\0'));
    std::vector<std::string> argv;
    if (line.empty()) return argv;

    std::size_t pos = 0;
    argv.push_back(readProgramName(line, pos));
    for (;;) {
        while (pos < line.size() && isBlank(line[pos])) ++pos;
        if (pos >= line.size()) break;
        argv.push_back(readArgument(line, pos));
    }
    return argv;
}

namespace {

// The argument's characters with every quote escaped and, where `wrap`, in quotes.
std::string escapeArgument(std::string_view arg, bool wrap) {
    std::string out;
    if (wrap) out += '"';
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes only escape when a quote follows: double them, and escape the quote.
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    // A closing quote follows the trailing backslashes, so they must be doubled too.
    out.append(wrap ? backslashes * 2 : backslashes, '\\');
    if (wrap) out += '"';
    return out;
}

}  // namespace

std::string quoteArgument(std::string_view arg) {
    const bool wrap = arg.empty() || arg.find_first_of(" \t") != std::string_view::npos;
    if (!wrap && arg.find('"') == std::string_view::npos) return std::string(arg);
    return escapeArgument(arg, wrap);
}

std::string quotedArgument(std::string_view arg) {
    return escapeArgument(arg, true);
}

std::string joinCommandLine(const std::vector<std::string>& argv) {
    if (argv.empty()) return {};

    std::string program;
    for (const char c : argv.front()) {
        if (c != '"') program += c;
    }
    std::string line;
    if (program.empty() || program.find_first_of(" \t") != std::string::npos) {
        line = '"' + program + '"';
    } else {
        line = program;
    }
    for (std::size_t i = 1; i < argv.size(); ++i) {
        line += ' ';
        line += quoteArgument(argv[i]);
    }
    return line;
}

std::string joinWithBlanks(std::span<const std::string> words) {
    std::string line;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) line += ' ';
        line += words[i];
    }
    return line;
}

std::string commandTail(int argc, const char* const* argv) {
    if (argc < 2) return {};
    return joinWithBlanks(std::vector<std::string>(argv + 1, argv + argc));
}

}  // namespace kestrel::platform
