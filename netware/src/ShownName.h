// The name under which the directory shows an object to a context: relative to the context's
// name context when the object lies below it and the context canonicalises names, else the
// full name; typeless or typed as the context's flags say. Listings, searches and the
// search filter's name tests all see names in this form, whichever backend keeps the tree.
#pragma once

#include <string>
#include <string_view>

#include "Context.h"
#include "DirectoryName.h"

namespace nw {

// `storedName` is the object's typed full name as the directory stores it; the name
// context's own object, and anything outside it, keep their full names.
std::string shownName(std::string_view storedName, const AbsoluteName& nameContext,
                      bool canonicalize, bool typeless);

inline std::string shownName(std::string_view storedName, const Context& context) {
    return shownName(storedName, context.nameContext, context.canonicalize(), context.typeless());
}

}  // namespace nw
