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
// `-` taken as the uninstallation marker. nullopt when nothing is left to run. The value of
// a directory variable stays within one token (MD %App%\Logs is one directory, whatever
// blanks %App% holds); other values are split as they come, so one variable may hold several
// arguments.
std::optional<CommandLine> parseCommandLine(std::string_view text, const Expander& expander);

// The same for a line whose variables are expanded already (with its places marked, if any).
std::optional<CommandLine> parseExpandedCommandLine(std::string text);
std::optional<CommandLine> parseExpandedCommandLine(ExpandedText expanded);

}  // namespace kestrel::setup::commands
