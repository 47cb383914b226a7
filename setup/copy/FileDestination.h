#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "copy/FileLine.h"

namespace kestrel::setup {

// The value of a variable such as Windows or System (expanded, no trailing backslash).
using VariableLookup = std::function<std::optional<std::string>(std::string_view)>;

// The source path with the prefix that names its destination's kind of directory removed
// ("Windows\System32\x.dll" bound for %System% is looked for as "x.dll"). In an administrator
// installation the source keeps its prefix.
[[nodiscard]] std::string sourceWithoutPrefix(std::string_view source, std::string_view destination,
                                              const VariableLookup& variables, bool admin);

// Whether an expanded destination lies in the Windows directory (not below its Profiles
// part), the system directory or the common-files directory: such files serve every kind
// of installation.
[[nodiscard]] bool inSystemPlace(std::string_view destination, const VariableLookup& variables);

// Whether the path holds a character Windows refuses in names: " * ? < > | or one below 32.
[[nodiscard]] bool hasRefusedCharacter(std::string_view windowsPath);

// What the messages say about such a name.
inline constexpr std::string_view kRefusedCharacterReason =
    "Windows names cannot hold the characters \" * ? < > | or control characters.";

struct DestinationPlaces {
    std::string baseDirectory;  // the application directory; the client directory in client runs
    std::optional<std::string> setupDirectory;  // set in administrator installations
};

// The full destination path of a line from its expanded destination field. A relative path
// lies in the base directory; an empty one, or one that names a directory, gets the source's
// name (its bare file name with USEFILENAME); SETUP files of an administrator installation
// go to the setup directory.
[[nodiscard]] std::string resolveDestination(
    const FileLine& line, std::string_view destination, const DestinationPlaces& places,
    const std::function<bool(const std::string&)>& isDirectory);

}  // namespace kestrel::setup
