// Names read off the tree: which items are containers, the top item's image, the container
// a listing addresses, and the two names of an item.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::browser {

class TreeItem;

inline constexpr std::string_view kRootName = "[Root]";

// An item whose text begins with "[Root]", "C=", "O=", "OU=", "S=" or "L=".
bool isContainerText(std::string_view text);

// The image of a top item with this text; kImageUnknown when not logged in or when the
// text names no known kind of container.
int topItemImage(std::string_view text, bool authenticated);

// One level up: the text after the first full stop, or "[Root]" when there is none.
std::string parentContext(std::string_view context);

// The name a listing of `item` addresses: its text and, walking up, each ancestor's text
// until the top of the tree: the walk ends before "[Root]" and after the ancestor that is
// the current start context.
std::string containerName(const TreeItem& item, std::string_view currentStartContext);

// The item's name with type prefixes, such as CN=WS17.OU=Sales.O=Acme: a child that is no
// container is a workstation and gets "CN=", and every ancestor but "[Root]" is appended.
std::string typedFullName(const TreeItem& item);

// The dotted name without type prefixes, as command lines and shortcuts name an object:
// CN=WS17.OU=Sales.O=Acme gives WS17.Sales.Acme. Every full stop stays.
std::string typelessName(std::string_view typedName);

}  // namespace kestrel::browser
