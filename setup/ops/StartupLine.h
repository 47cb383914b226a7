#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Expected.h"

namespace kestrel::setup {

// One line of a CONFIG.SYS or batch-file section, read once (variables expanded).
struct StartupLine {
    enum class Kind {
        Path,       // PATH directory[;directory...]: each added to the file's PATH list
        Set,        // SET name=value: the value added to the variable's list
        Text,       // any other batch line (and REM): present once
        Parameter,  // CONFIG.SYS parameter = value
    };
    // CONFIG.SYS parameters: how the line acts on the file.
    enum class Mode {
        Replace,  // no sign: the first matching line rewritten, else appended
        Add,      // +: appended whatever is there
        Delete,   // -: matching lines removed
    };

    Kind kind = Kind::Text;
    Mode mode = Mode::Replace;  // Delete for every line with a leading '-'
    // Path: the directories; Set: the value's parts between semicolons, each an item of the
    // variable's list.
    std::vector<std::string> items;
    std::string name;   // Set: the variable; Parameter: the parameter
    std::string value;  // Parameter
    std::string text;   // Text: the line itself

    bool deletes() const { return mode == Mode::Delete; }
};

// A batch-file line: [-]PATH dirs, [-]SET name=value or any other [-]line. nullopt for an
// empty line.
std::optional<StartupLine> readBatchLine(std::string_view text);

// A CONFIG.SYS line: [+|-]parameter = value, or a REM, SET or PATH line read as in a batch
// file. nullopt for an empty line; an error (the line as written) for a line that is none of
// these: one without '=' and without a sign.
platform::Expected<std::optional<StartupLine>, std::string> readConfigSysLine(
    std::string_view text);

// Whether a section line is one of the section's own keys (Caption=..., Path=...) rather
// than work: the text before its '=' is one of `keys`, without regard to case.
bool isSectionKeyLine(std::string_view text, const std::vector<std::string_view>& keys);

// The text a line of a section stands for: up to its first line break or zero byte (as the
// system reads a string), without blanks around it.
std::string_view lineText(std::string_view text);

}  // namespace kestrel::setup
