#include "window/WorkstationSearch.h"

#include "window/TreeNames.h"

namespace kestrel::browser {

SearchHit locateSearchHit(std::string_view found, std::string_view base) {
    std::string name(found);
    if (base != kRootName) {
        name += '.';
        name += base;
    }
    if (auto common = name.find("CN="); common != std::string::npos) name.erase(0, common + 3);
    auto stop = name.find('.');
    if (stop == std::string::npos) return {name, std::string(base)};
    return {name.substr(0, stop), name.substr(stop + 1)};
}

std::string noSearchMatchText(std::string_view pattern, std::string_view base) {
    return "No Workstation object matches pattern '" + std::string(pattern) +
           "' could be found below container '" + std::string(base) + "'!";
}

}  // namespace kestrel::browser
