#include "platform/DdeCommands.h"

namespace kestrel::platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads an execute string left to right; each method leaves `pos_` after what it read.
class DdeParser {
  public:
    explicit DdeParser(std::string_view text) : text_(text) {}

    Expected<std::vector<DdeCommand>, std::string> commands() {
        std::vector<DdeCommand> result;
        skipBlanks();
        if (atEnd()) return fail("no command");
        while (!atEnd()) {
            if (!take('[')) return fail("'[' expected");
            DdeCommand command;
            skipBlanks();
            while (!atEnd() && isNameCharacter(text_[pos_])) command.name += text_[pos_++];
            if (command.name.empty()) return fail("command name expected");
            skipBlanks();
            if (take('(')) {
                if (!readArguments(command.arguments)) return fail(error_);
            }
            skipBlanks();
            if (!take(']')) return fail("']' expected");
            result.push_back(std::move(command));
            skipBlanks();
        }
        return result;
    }

  private:
    static bool isNameCharacter(char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
               u == '_';
    }
    bool atEnd() const { return pos_ >= text_.size(); }
    void skipBlanks() {
        while (!atEnd() && isBlank(text_[pos_])) ++pos_;
    }
    bool take(char c) {
        if (atEnd() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    Unexpected<std::string> fail(const std::string& why) const {
        return unexpected(why + " at position " + std::to_string(pos_));
    }

    // After "(": arguments up to and including ")".
    bool readArguments(std::vector<std::string>& arguments) {
        while (true) {
            std::string argument;
            if (!readArgument(argument)) return false;
            arguments.push_back(std::move(argument));
            if (take(')')) return true;
            if (!take(',')) {
                error_ = "',' or ')' expected";
                return false;
            }
        }
    }

    bool readArgument(std::string& argument) {
        skipBlanks();
        if (take('"')) {
            while (true) {
                if (atEnd()) {
                    error_ = "closing quote expected";
                    return false;
                }
                const char c = text_[pos_++];
                if (c != '"') {
                    argument += c;
                } else if (take('"')) {
                    argument += '"';
                } else {
                    break;
                }
            }
            skipBlanks();
            return true;
        }
        while (!atEnd() &&
               std::string_view(",()[]\"").find(text_[pos_]) == std::string_view::npos) {
            argument += text_[pos_++];
        }
        while (!argument.empty() && isBlank(argument.back())) argument.pop_back();
        if (!atEnd() && text_[pos_] != ',' && text_[pos_] != ')') {
            error_ = std::string("unexpected '") + text_[pos_] + "' in an argument";
            return false;
        }
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string error_;
};

}  // namespace

Expected<std::vector<DdeCommand>, std::string> parseDdeCommands(std::string_view text) {
    return DdeParser(text).commands();
}

std::string ddeArgument(std::string_view text) {
    const bool plain = text.find_first_of(",()[]\"") == std::string_view::npos &&
                       (text.empty() || (!isBlank(text.front()) && !isBlank(text.back())));
    if (plain) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

}  // namespace kestrel::platform
