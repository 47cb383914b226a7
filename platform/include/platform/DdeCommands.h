#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Expected.h"

namespace kestrel::platform {

// One command of a program-manager execute string: "[Name(argument,argument,...)]".
struct DdeCommand {
    std::string name;
    std::vector<std::string> arguments;  // omitted arguments are empty

    bool operator==(const DdeCommand&) const = default;
};

// Splits an execute string into its commands: each in square brackets, blanks allowed
// around brackets, names and commas, an argument list in parentheses (optional when empty).
// An argument in double quotes may hold commas, brackets and parentheses, and a doubled
// quote stands for one quote inside it; other arguments lose their surrounding blanks.
// The error says what is wrong and where (0-based position); nothing is returned then, so
// a half-read string never executes in part.
Expected<std::vector<DdeCommand>, std::string> parseDdeCommands(std::string_view text);

// The argument as an execute string carries it: as it is when it needs nothing, else in
// double quotes (inner quotes doubled) when it holds a character of the command syntax or
// blanks at either end that would otherwise be lost.
std::string ddeArgument(std::string_view text);

}  // namespace kestrel::platform
