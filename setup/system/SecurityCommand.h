#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Expected.h"

namespace kestrel::setup {

enum class SecurityObject { LocalGroup, LocalUser, FileDacl, Privilege };
enum class SecurityMethod { Add, Del, AddMember, DelMember, Mod };

struct SecurityArgument {
    std::string text;        // without its quotes ('' inside quotes stands for one ')
    std::size_t offset = 0;  // where it stands in the line, quotes included
    std::size_t length = 0;
};

// One line of a Security section: object.method (arguments).
struct SecurityCommand {
    SecurityObject object = SecurityObject::LocalGroup;
    SecurityMethod method = SecurityMethod::Add;
    std::vector<SecurityArgument> arguments;

    // The argument's text, empty when the line has fewer.
    const std::string& argument(std::size_t index) const;
};

// Why a line is no command, as the Windows error code its message shows: 0 for a line
// without "(" (shown without a code), 1 (incorrect function) for an object or method we do
// not know or that do not go together, 87 (the parameter is incorrect) for an argument list
// that is malformed (a quote or parenthesis not closed, text after the closing one) or
// lacks an argument the method needs.
inline constexpr long kNoArgumentList = 0;
inline constexpr long kUnknownCommand = 1;
inline constexpr long kBadArguments = 87;

// Object and method are compared without regard to case and may stand between blanks.
// Arguments are separated by commas: texts in single quotes, anything else (flag words,
// numbers) trimmed of blanks. The list ends at the last ")" outside quotes, since ")" also
// joins flag words.
platform::Expected<SecurityCommand, long> parseSecurityCommand(std::string_view line);

// Passwords of newer scripts are stored scrambled: character i of n XOR-ed with
// ((n - i) AND 31). The same operation restores them.
std::string scramblePassword(std::string_view password);

// The line as messages may show it: the password of a LocalUser command hidden, since
// messages end up on consoles and in logs.
std::string displayedLine(std::string_view line, const SecurityCommand& command);

}  // namespace kestrel::setup
