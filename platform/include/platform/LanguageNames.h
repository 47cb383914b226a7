#pragma once

#include <cstdint>
#include <string>

namespace kestrel::platform {

// The name Windows gives a language id of a version resource (VerLanguageName): "English
// (United States)" for 0x0409, "German (Standard)" for 0x0407, "Language Neutral" for 0;
// "Unknown language" for an id the table does not hold.
std::string languageName(std::uint16_t language);

}  // namespace kestrel::platform
