#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "script/Expander.h"

namespace kestrel::setup {

// One line of an INI section, read once with its variables expanded:
//   [-]section,key,value            in the section's own file; the value is the rest of the
//                                   line (commas and all), a leading '-' deletes
//   "file",section,old entry,new entry   (an entry is key=value) in a file of its own: the
//                                   old entry is removed, or else the new one written
struct IniEntry {
    std::optional<std::string> file;  // nullopt for the section's file, else as the line names it
    std::string section;
    std::string key;
    std::string value;
    bool deletion = false;
    // A line without a file, section or key names nothing it could change.
    bool complete() const { return (!file || !file->empty()) && !section.empty() && !key.empty(); }
};

// nullopt for an empty line and for the section's own keys (Caption, Path).
std::optional<IniEntry> readIniLine(std::string_view text, const Expander& expander);

}  // namespace kestrel::setup
