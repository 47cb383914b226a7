// Where a workstation found by the search lies, so the tree can be re-rooted at its
// container with the workstation selected.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::browser {

struct SearchHit {
    std::string commonName;  // as the tree shows the workstation: WS17
    std::string container;   // the new top of the tree: OU=Sales.O=Acme
};

// `found` is a name as the search returns it, relative to `base` unless the base is
// "[Root]": CN=WS17.OU=Sales below O=Acme gives WS17 in OU=Sales.O=Acme.
SearchHit locateSearchHit(std::string_view found, std::string_view base);

std::string noSearchMatchText(std::string_view pattern, std::string_view base);

}  // namespace kestrel::browser
