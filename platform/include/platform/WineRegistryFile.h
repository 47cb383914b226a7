#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Expected.h"
#include "platform/RegistryKey.h"

namespace kestrel::platform {

// A hive file in Wine's text format ("WINE REGISTRY Version 2"): the lines between the
// version line and the first key (";; All keys relative to ...", "#arch=..."), kept as
// they are, and the tree of keys below the hive's root.
struct RegistryHive {
    std::vector<std::string> header;
    RegistryKey root;
    // The lines Wine would skip with a warning, which we keep verbatim (with their key).
    std::vector<ParseError> warnings;
};

// The header Wine writes for a new hive: `relativeTo` is the root's path as the file shows
// it, for example "\\\\Machine" or "\\\\User\\\\.Default".
std::vector<std::string> wineHiveHeader(std::string_view relativeTo);

// Reads what Wine writes (and what people type): CR LF or LF, raw UTF-8 or escapes in names
// and strings, "#time", "#class", "#link" and other option lines, hexadecimal data wrapped
// over several lines, lines indented with blanks. Option and comment lines it does not know
// are kept with their key; lines it cannot read (an unknown value type, say) are kept too,
// verbatim where they stand, each with a warning naming the file, line and column. Only a
// text that does not start with Wine's version line is an error; nothing is guessed.
Expected<RegistryHive, ParseError> parseWineRegistry(std::string_view text,
                                                     const std::string& fileName);

// Writes the hive the way Wine does, so that a file Wine wrote and we read comes back
// byte for byte unless something in it changed. Volatile keys are left out.
std::string serialiseWineRegistry(const RegistryHive& hive);

}  // namespace kestrel::platform
