// Passwords come from the terminal without echo, or from standard input when that is not a
// terminal (scripts, tests); never from the command line, where other users could see them.
#pragma once

#include <optional>
#include <string>

namespace nwdir {

std::optional<std::string> readPassword(const char* prompt);

}  // namespace nwdir
