#include "ShownName.h"

namespace nw {

std::string shownName(std::string_view storedName, const AbsoluteName& nameContext,
                      bool canonicalize, bool typeless) {
    const auto parts = splitStoredName(storedName);
    std::size_t keep = parts.size();
    const std::size_t depth = nameContext.components.size();
    if (canonicalize && depth > 0 && parts.size() > depth) {
        // The last `depth` components, as stored, are the name context when the object lies
        // below it: texts equal but for case split into the same components.
        const std::string_view tail = storedName.substr(
            static_cast<std::size_t>(parts[keep - depth].data() - storedName.data()));
        if (equalsIgnoreAsciiCase(tail, nameContext.text())) keep -= depth;
    }
    return formatStoredName(parts, keep, typeless);
}

}  // namespace nw
