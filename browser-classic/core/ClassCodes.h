// Base classes of directory objects as image indexes of the tree, and the classes a
// listing keeps.
#pragma once

#include <string_view>

namespace kestrel::classic {

inline constexpr int kRootImage = 0;
inline constexpr int kUnknownImage = 14;
inline constexpr int kImageCount = 18;

// Exact, case-sensitive comparison; every class not in the table gives 14.
int classCode(std::string_view baseClass);

// "[Root]", "Country", "Organization", "Organizational Unit", "Workstation", "Locality".
bool isListedClass(std::string_view baseClass);

}  // namespace kestrel::classic
