// How a command line of a file section becomes a CommandLine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/Command.h"
#include "script/Expander.h"

namespace kestrel::setup::commands {

// Splits text into tokens at blanks (spaces and tabs); a part in double quotes may hold
// blanks and loses its quotes ("C:\Program Files\x" is one token, a"b c"d is "ab cd").
std::vector<std::string> splitCommandTokens(std::string_view text);

// The line with its variables expanded first, then a final line feed removed, then a leading
// `-` taken as the uninstallation marker. nullopt when nothing is left to run.
std::optional<CommandLine> parseCommandLine(std::string_view text, const Expander& expander);

// The same for a line whose variables are expanded already.
std::optional<CommandLine> parseExpandedCommandLine(std::string text);

}  // namespace kestrel::setup::commands
