#include "platform/Locale.h"

#include <cstdlib>

#include "platform/AsciiCase.h"

namespace kestrel::platform {

namespace {

struct Language {
    std::string_view code;
    std::uint16_t primary;
    // Sublanguages by country; the first is the language's default.
    struct Country {
        std::string_view code;
        std::uint16_t sub;
    };
    Country countries[6];
};

constexpr Language kLanguages[] = {
    {"en", 0x09, {{"US", 1}, {"GB", 2}, {"AU", 3}, {"CA", 4}, {"NZ", 5}, {"IE", 6}}},
    {"de", 0x07, {{"DE", 1}, {"CH", 2}, {"AT", 3}, {"LU", 4}, {"LI", 5}}},
    {"fr", 0x0C, {{"FR", 1}, {"BE", 2}, {"CA", 3}, {"CH", 4}, {"LU", 5}}},
    {"es", 0x0A, {{"ES", 3}, {"MX", 2}, {"AR", 11}}},
    {"it", 0x10, {{"IT", 1}, {"CH", 2}}},
    {"nl", 0x13, {{"NL", 1}, {"BE", 2}}},
    {"pt", 0x16, {{"PT", 2}, {"BR", 1}}},
    {"sv", 0x1D, {{"SE", 1}, {"FI", 2}}},
    {"da", 0x06, {{"DK", 1}}},
    {"fi", 0x0B, {{"FI", 1}}},
    {"nb", 0x14, {{"NO", 1}}},
    {"no", 0x14, {{"NO", 1}}},
    {"nn", 0x14, {{"NO", 2}}},
    {"pl", 0x15, {{"PL", 1}}},
    {"cs", 0x05, {{"CZ", 1}}},
    {"sk", 0x1B, {{"SK", 1}}},
    {"hu", 0x0E, {{"HU", 1}}},
    {"ru", 0x19, {{"RU", 1}}},
    {"el", 0x08, {{"GR", 1}}},
    {"tr", 0x1F, {{"TR", 1}}},
    {"ja", 0x11, {{"JP", 1}}},
    {"ko", 0x12, {{"KR", 1}}},
    {"zh", 0x04, {{"TW", 1}, {"CN", 2}, {"HK", 3}, {"SG", 4}}},
};

}  // namespace

LanguageId languageOfLocale(std::string_view locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::string_view language = locale.substr(0, locale.find('_'));
    const std::string_view country = locale.find('_') == std::string_view::npos
                                         ? std::string_view()
                                         : locale.substr(locale.find('_') + 1);
    for (const Language& entry : kLanguages) {
        if (!equalsIgnoreAsciiCase(entry.code, language)) continue;
        std::uint16_t sub = entry.countries[0].sub;
        for (const auto& candidate : entry.countries) {
            if (!candidate.code.empty() && equalsIgnoreAsciiCase(candidate.code, country)) {
                sub = candidate.sub;
            }
        }
        return {static_cast<std::uint16_t>(entry.primary | (sub << 10))};
    }
    return {};
}

LanguageId userDefaultLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') {
            return languageOfLocale(value);
        }
    }
    return {};
}

}  // namespace kestrel::platform
