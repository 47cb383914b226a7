#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel::platform {

// One line of a profile (INI) file as read: the raw bytes are kept so that writing the file
// back changes nothing but the lines that were edited.
struct ProfileLine {
    enum class Kind { Other, Section, Key };

    std::string text;       // the line without its line break
    std::string lineBreak;  // "\r\n", "\n", or "" for a last line without one
    Kind kind = Kind::Other;
    std::string name;             // section or key name, blanks trimmed
    std::size_t valueOffset = 0;  // keys: where the value starts in `text`

    // Reads the line the way the Windows profile functions do: "[name]" (up to the last ']')
    // is a section header, "name=value" a key, lines starting with ';' are comments, and
    // anything else (blank lines, lines without '=') is kept but means nothing.
    static ProfileLine classify(std::string text, std::string lineBreak);

    // The key's value with surrounding blanks removed (quotes are kept here).
    std::string_view rawValue() const;
};

// Blanks around profile names and values: white space and the DOS end-of-file mark (^Z).
std::string_view trimProfileBlanks(std::string_view text);

}  // namespace kestrel::platform
