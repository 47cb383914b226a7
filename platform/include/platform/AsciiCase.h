#pragma once

#include <string>
#include <string_view>

namespace kestrel::platform {

// Windows compares profile names and file names without regard to case; the suite's names
// are ASCII, so only ASCII letters fold (other bytes, UTF-8 ones among them, stay as they are).
char asciiLower(char c);
char asciiUpper(char c);
std::string asciiLower(std::string_view text);
std::string asciiUpper(std::string_view text);
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b);
bool startsWithIgnoreAsciiCase(std::string_view text, std::string_view prefix);
bool endsWithIgnoreAsciiCase(std::string_view text, std::string_view suffix);
// Negative, zero or positive as a sorts before, with or after b, ASCII letters folded to
// lower case and every byte compared as unsigned.
int compareIgnoreAsciiCase(std::string_view a, std::string_view b);

}  // namespace kestrel::platform
