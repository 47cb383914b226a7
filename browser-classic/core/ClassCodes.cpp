#include "ClassCodes.h"

#include <array>
#include <utility>

namespace kestrel::classic {

int classCode(std::string_view baseClass) {
    constexpr std::array<std::pair<std::string_view, int>, 15> kCodes{{
        {"Country", 1},
        {"Organization", 2},
        {"Organizational Unit", 3},
        {"Alias", 4},
        {"User", 5},
        {"Group", 6},
        {"NCP Server", 7},
        {"Queue", 8},
        {"Print Server", 9},
        {"Volume", 10},
        {"Bindery Object", 11},
        {"Profile", 12},
        {"Printer", 13},
        {"Workstation", 16},
        {"Locality", 17},
    }};
    for (const auto& [name, code] : kCodes)
        if (name == baseClass) return code;
    return kUnknownImage;
}

bool isListedClass(std::string_view baseClass) {
    for (std::string_view listed :
         {"[Root]", "Country", "Organization", "Organizational Unit", "Workstation", "Locality"})
        if (listed == baseClass) return true;
    return false;
}

}  // namespace kestrel::classic
