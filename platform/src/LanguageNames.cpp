#include "platform/LanguageNames.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace kestrel::platform {
namespace {

// The names of the Windows versions the installer was made for, by language id (primary
// language in the low 10 bits, sublanguage above), sorted for the search.
constexpr std::pair<std::uint16_t, const char*> kNames[] = {
    {0x0000, "Language Neutral"},
    {0x0400, "Process Default Language"},
    {0x0401, "Arabic (Saudi Arabia)"},
    {0x0402, "Bulgarian"},
    {0x0403, "Catalan"},
    {0x0404, "Chinese (Taiwan)"},
    {0x0405, "Czech"},
    {0x0406, "Danish"},
    {0x0407, "German (Standard)"},
    {0x0408, "Greek"},
    {0x0409, "English (United States)"},
    {0x040A, "Spanish (Traditional Sort)"},
    {0x040B, "Finnish"},
    {0x040C, "French (Standard)"},
    {0x040D, "Hebrew"},
    {0x040E, "Hungarian"},
    {0x040F, "Icelandic"},
    {0x0410, "Italian (Standard)"},
    {0x0411, "Japanese"},
    {0x0412, "Korean"},
    {0x0413, "Dutch (Standard)"},
    {0x0414, "Norwegian (Bokmal)"},
    {0x0415, "Polish"},
    {0x0416, "Portuguese (Brazilian)"},
    {0x0418, "Romanian"},
    {0x0419, "Russian"},
    {0x041A, "Croatian"},
    {0x041B, "Slovak"},
    {0x041C, "Albanian"},
    {0x041D, "Swedish"},
    {0x041E, "Thai"},
    {0x041F, "Turkish"},
    {0x0421, "Indonesian"},
    {0x0422, "Ukrainian"},
    {0x0423, "Belarusian"},
    {0x0424, "Slovenian"},
    {0x0425, "Estonian"},
    {0x0426, "Latvian"},
    {0x0427, "Lithuanian"},
    {0x042A, "Vietnamese"},
    {0x042D, "Basque"},
    {0x0436, "Afrikaans"},
    {0x0438, "Faeroese"},
    {0x0801, "Arabic (Iraq)"},
    {0x0804, "Chinese (PRC)"},
    {0x0807, "German (Swiss)"},
    {0x0809, "English (British)"},
    {0x080A, "Spanish (Mexican)"},
    {0x080C, "French (Belgian)"},
    {0x0810, "Italian (Swiss)"},
    {0x0813, "Dutch (Belgian)"},
    {0x0814, "Norwegian (Nynorsk)"},
    {0x0816, "Portuguese (Standard)"},
    {0x081A, "Serbian (Latin)"},
    {0x081D, "Swedish (Finland)"},
    {0x0C01, "Arabic (Egypt)"},
    {0x0C04, "Chinese (Hong Kong)"},
    {0x0C07, "German (Austrian)"},
    {0x0C09, "English (Australian)"},
    {0x0C0A, "Spanish (Modern Sort)"},
    {0x0C0C, "French (Canadian)"},
    {0x0C1A, "Serbian (Cyrillic)"},
    {0x1004, "Chinese (Singapore)"},
    {0x1007, "German (Luxembourg)"},
    {0x1009, "English (Canadian)"},
    {0x100C, "French (Swiss)"},
    {0x1407, "German (Liechtenstein)"},
    {0x1409, "English (New Zealand)"},
    {0x140C, "French (Luxembourg)"},
    {0x1809, "English (Ireland)"},
    {0x1C09, "English (South Africa)"},
    {0x2009, "English (Jamaica)"},
};

static_assert(std::is_sorted(std::begin(kNames), std::end(kNames),
                             [](const auto& a, const auto& b) { return a.first < b.first; }));

}  // namespace

std::string languageName(std::uint16_t language) {
    const auto found =
        std::lower_bound(std::begin(kNames), std::end(kNames), language,
                         [](const auto& entry, std::uint16_t id) { return entry.first < id; });
    if (found == std::end(kNames) || found->first != language) return "Unknown language";
    return found->second;
}

}  // namespace kestrel::platform
