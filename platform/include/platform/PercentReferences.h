#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::platform {

// Replaces each %NAME% with the text `lookup` gives for NAME, the way Windows expands
// environment strings: a name it does not know stays as written, percent signs included,
// and its closing sign may open the next reference.
std::string expandPercentReferences(
    std::string_view text,
    const std::function<std::optional<std::string>(std::string_view)>& lookup);

// The value of a hexadecimal digit, -1 for any other character.
int hexDigitValue(char c);

}  // namespace kestrel::platform
