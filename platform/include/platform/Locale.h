#pragma once

#include <cstdint>
#include <string_view>

namespace kestrel::platform {

// A Windows language identifier: primary language in the low 10 bits, sublanguage above.
struct LanguageId {
    std::uint16_t value = 0x0409;
    unsigned primary() const { return value & 0x3FF; }
    unsigned sub() const { return value >> 10; }
};

// The language of a POSIX locale name ("de_DE.UTF-8", "fr_CA", "pt_BR@euro"); English
// (United States) for "C", "POSIX", empty or unknown names.
LanguageId languageOfLocale(std::string_view locale);

// The user's language from LC_ALL, LC_MESSAGES or LANG, the first that is set.
LanguageId userDefaultLanguage();

}  // namespace kestrel::platform
