#include "system/SecurityCommand.h"

#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup {

namespace {

struct MethodName {
    SecurityObject object;
    std::string_view objectName;
    SecurityMethod method;
    std::string_view methodName;
    std::size_t required;  // how many arguments the method cannot do without
};

constexpr MethodName kMethods[] = {
    {SecurityObject::LocalGroup, "LocalGroup", SecurityMethod::Add, "Add", 1},
    {SecurityObject::LocalGroup, "LocalGroup", SecurityMethod::Del, "Del", 1},
    {SecurityObject::LocalGroup, "LocalGroup", SecurityMethod::AddMember, "AddMember", 2},
    {SecurityObject::LocalGroup, "LocalGroup", SecurityMethod::DelMember, "DelMember", 2},
    {SecurityObject::LocalUser, "LocalUser", SecurityMethod::Add, "Add", 1},
    {SecurityObject::LocalUser, "LocalUser", SecurityMethod::Mod, "Mod", 1},
    {SecurityObject::LocalUser, "LocalUser", SecurityMethod::Del, "Del", 1},
    {SecurityObject::FileDacl, "FileDacl", SecurityMethod::Add, "Add", 2},
    {SecurityObject::FileDacl, "FileDacl", SecurityMethod::Del, "Del", 2},
    {SecurityObject::Privilege, "Privilege", SecurityMethod::Add, "Add", 2},
    {SecurityObject::Privilege, "Privilege", SecurityMethod::Del, "Del", 2},
};

constexpr std::string_view kBlanks = " \t";
constexpr std::size_t kPasswordArgument = 1;

// Where the argument list closes: the last ")" outside quotes; npos when a quote stays open
// or there is none.
std::size_t closingParenthesis(std::string_view line, std::size_t open) {
    std::size_t closing = std::string_view::npos;
    bool quoted = false;
    for (std::size_t i = open + 1; i < line.size(); ++i) {
        if (line[i] == '\'')
            quoted = !quoted;  // '' closes and opens again: one quote
        else if (!quoted && line[i] == ')')
            closing = i;
    }
    return quoted ? std::string_view::npos : closing;
}

// The arguments between `begin` and `end`; false when one is malformed.
bool readArguments(std::string_view line, std::size_t begin, std::size_t end,
                   std::vector<SecurityArgument>& arguments) {
    if (platform::trimBlanks(line.substr(begin, end - begin)).empty()) return true;
    std::size_t at = begin;
    while (true) {
        while (at < end && kBlanks.find(line[at]) != std::string_view::npos) ++at;
        SecurityArgument argument;
        argument.offset = at;
        if (at < end && line[at] == '\'') {
            ++at;
            while (true) {
                if (at >= end) return false;
                if (line[at] == '\'') {
                    if (at + 1 < end && line[at + 1] == '\'') {
                        argument.text += '\'';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                argument.text += line[at++];
            }
            argument.length = at - argument.offset;
            while (at < end && kBlanks.find(line[at]) != std::string_view::npos) ++at;
            if (at < end && line[at] != ',') return false;  // text after the closing quote
        } else {
            const std::size_t comma = std::min(line.find(',', at), end);
            const std::string_view text = line.substr(at, comma - at);
            // A quote or parenthesis in a bare word belongs to nothing.
            if (text.find_first_of("'(") != std::string_view::npos) return false;
            argument.text = std::string(platform::trimBlanks(text));
            argument.length = platform::trimBlanks(text).size();
            at = comma;
        }
        arguments.push_back(std::move(argument));
        if (at >= end) return true;
        ++at;  // the comma
    }
}

}  // namespace

const std::string& SecurityCommand::argument(std::size_t index) const {
    static const std::string none;
    return index < arguments.size() ? arguments[index].text : none;
}

platform::Expected<SecurityCommand, long> parseSecurityCommand(std::string_view line) {
    const std::size_t open = line.find('(');
    if (open == std::string_view::npos) return platform::unexpected(kNoArgumentList);
    const std::string_view head = line.substr(0, open);
    const std::size_t dot = head.find('.');
    if (dot == std::string_view::npos) return platform::unexpected(kUnknownCommand);
    const std::string_view object = platform::trimBlanks(head.substr(0, dot));
    const std::string_view method = platform::trimBlanks(head.substr(dot + 1));

    SecurityCommand command;
    const MethodName* known = nullptr;
    for (const MethodName& entry : kMethods) {
        if (platform::equalsIgnoreAsciiCase(entry.objectName, object) &&
            platform::equalsIgnoreAsciiCase(entry.methodName, method))
            known = &entry;
    }
    if (known == nullptr) return platform::unexpected(kUnknownCommand);
    command.object = known->object;
    command.method = known->method;

    const std::size_t close = closingParenthesis(line, open);
    if (close == std::string_view::npos || !platform::trimBlanks(line.substr(close + 1)).empty() ||
        !readArguments(line, open + 1, close, command.arguments) ||
        command.arguments.size() < known->required)
        return platform::unexpected(kBadArguments);
    return command;
}

std::string scramblePassword(std::string_view password) {
    std::string result(password);
    const std::size_t length = result.size();
    for (std::size_t i = 0; i < length; ++i)
        result[i] = static_cast<char>(static_cast<unsigned char>(result[i]) ^ ((length - i) & 31));
    return result;
}

std::string displayedLine(std::string_view line, const SecurityCommand& command) {
    std::string shown(line);
    if (command.object != SecurityObject::LocalUser ||
        command.arguments.size() <= kPasswordArgument)
        return shown;
    const SecurityArgument& password = command.arguments[kPasswordArgument];
    if (password.text.empty()) return shown;
    return shown.replace(password.offset, password.length, "'********'");
}

}  // namespace kestrel::setup
