#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

// Whether a file name already is a valid 8.3 name (up to eight characters, at most one dot
// and three after it, none of the characters 8.3 names cannot hold); such a name is its own
// short name, as it is written.
bool isShortName(std::string_view name);

// The 8.3 name of `name` among the entries of one directory. Long names get NAME~N.EXT in
// the order of the directory's names compared without case, N counting the names that
// would collide; after four, a hashed form. A name that is not among `entries` is named as
// if it were added last. The same directory content always gives the same names.
std::string shortNameIn(const std::vector<std::string>& entries, std::string_view name);

}  // namespace kestrel::platform
