#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Expected.h"

namespace kestrel::setup {

// One comma-separated field of a script line.
struct Field {
    std::string text;
    bool quoted = false;  // tells "" (an empty text) from a missing field
};

// Reads the fields of a line one after the other: leading blanks skipped; a field that
// begins with " or ' runs to the next quote of the same kind (two in a row stand for one),
// and anything after it up to the comma is dropped; any other field runs to the comma,
// trailing blanks kept. A line end ends the last field.
class FieldReader {
  public:
    explicit FieldReader(std::string_view text);
    // nullopt at the end; fields are cut to size - 1 characters.
    std::optional<Field> next(std::size_t size = 256);
    // What has not been read yet.
    std::string_view rest() const { return text_; }

  private:
    std::string_view text_;
};

// All fields of a line (quoted or not) as plain texts.
std::vector<std::string> splitFields(std::string_view text, std::size_t size = 256);

// A leading decimal number: blanks, a sign, digits as far as they go; other text is 0
// (so "Yes" reads 0). Wraps like a 32-bit number.
std::int32_t readNumber(std::string_view text);
// A hexadecimal number as "%lx" reads it: blanks, an optional 0x, hex digits.
std::uint32_t readHex(std::string_view text);
// Decimal, or hexadecimal with a leading 0x.
std::uint32_t readDecimalOrHex(std::string_view text);

// A flag word table: names compared without case.
struct FlagName {
    std::string_view name;
    std::uint32_t value;
};

// Words from a table joined by any of `separators`, OR-ed; a word that is a number counts
// as that number. Unknown words add nothing; the first of them is kept.
struct FlagReading {
    std::uint32_t value = 0;
    std::string unknown;
};
FlagReading readFlags(std::string_view text, const std::vector<FlagName>& table,
                      std::string_view separators = "|+)");
// As readFlags; the error is the first unknown word.
platform::Expected<std::uint32_t, std::string> parseFlags(std::string_view text,
                                                          const std::vector<FlagName>& table,
                                                          std::string_view separators = "|+)");

// A backslash followed by n becomes CR LF, two backslashes one (texts shown to the user).
std::string unescapeText(std::string_view text);

}  // namespace kestrel::setup
