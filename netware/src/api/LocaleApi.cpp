// The workstation's locale and the Unicode tables that go with it.
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "ApiSupport.h"
#include "nwlocale.h"

namespace {

struct Country {
    const char* territory;
    int id;
    bool commaDecimal;
};

// International dialling codes, as the client numbers countries.
constexpr Country kCountries[] = {
    {"US", 1, false},  {"CA", 2, false},   {"NL", 31, true},  {"BE", 32, true},  {"FR", 33, true},
    {"ES", 34, true},  {"IT", 39, true},   {"CH", 41, false}, {"AT", 43, true},  {"GB", 44, false},
    {"DK", 45, true},  {"SE", 46, true},   {"NO", 47, true},  {"PL", 48, true},  {"DE", 49, true},
    {"BR", 55, true},  {"AU", 61, false},  {"JP", 81, false}, {"KR", 82, false}, {"CN", 86, false},
    {"PT", 351, true}, {"IE", 353, false}, {"FI", 358, true}, {"CZ", 420, true},
};

constexpr int kSupportedCodePages[] = {437, 850, 1252, 65001};

bool tablesLoaded = false;

// "de_DE.UTF-8@euro" -> territory "DE", codeset "UTF-8".
std::string_view localeName() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return "C";
}

int codePageOf(std::string_view codeset, bool plainLocale) {
    if (plainLocale) return 437;
    if (codeset == "UTF-8" || codeset == "utf8" || codeset == "utf-8" || codeset == "UTF8")
        return 65001;
    if (codeset.rfind("ISO-8859", 0) == 0 || codeset.rfind("ISO8859", 0) == 0 ||
        codeset == "CP1252")
        return 1252;
    return 850;
}

LCONV* describeLocale(LCONV* lconvPtr) {
    std::string_view name = localeName();
    name = name.substr(0, name.find('@'));
    std::string_view codeset;
    if (auto dot = name.find('.'); dot != std::string_view::npos) {
        codeset = name.substr(dot + 1);
        name = name.substr(0, dot);
    }
    std::string_view territory;
    if (auto underscore = name.find('_'); underscore != std::string_view::npos)
        territory = name.substr(underscore + 1);
    bool plain = name == "C" || name == "POSIX";

    const Country* country = &kCountries[0];
    for (const auto& candidate : kCountries)
        if (territory == candidate.territory) country = &candidate;
    *lconvPtr = LCONV{};
    lconvPtr->country_id = country->id;
    lconvPtr->code_page = codePageOf(codeset, plain);
    std::strcpy(lconvPtr->decimal_point, country->commaDecimal ? "," : ".");
    std::strcpy(lconvPtr->thousands_sep, country->commaDecimal ? "." : ",");
    return lconvPtr;
}

}  // namespace

extern "C" {

LCONV* NWLlocaleconv(LCONV* lconvPtr) {
    if (lconvPtr == nullptr) return nullptr;
    return nw::guarded(static_cast<LCONV*>(nullptr), [&] { return describeLocale(lconvPtr); });
}

nint NWInitUnicodeTables(nint countryCode, nint codePage) {
    return nw::guarded(nint{ERR_NOT_ENOUGH_MEMORY}, [&]() -> nint {
        bool known = false;
        for (int page : kSupportedCodePages) known = known || page == codePage;
        if (!known || countryCode <= 0) return ERR_UNICODE_FILE_NOT_FOUND;
        tablesLoaded = true;
        return 0;
    });
}

nint NWFreeUnicodeTables(void) {
    return nw::guarded(nint{ERR_NOT_ENOUGH_MEMORY}, []() -> nint {
        tablesLoaded = false;
        return 0;
    });
}

}  // extern "C"
