// The text the logger keeps for one attribute value as the client delivers it.
#pragma once

#include <optional>
#include <string>

#include "nwnet.h"

namespace kestrel::rclog {

// Texts as they are; network addresses as IPX node, dotted IP, AppleTalk or a note on the
// address type. nullopt for the other syntaxes, which leave the value as it was.
std::optional<std::string> attributeValueText(nuint32 syntax, const void* value);

// The text of a network address whose `addressLength` bytes lie at `address`.
std::string netAddressText(const Net_Address_T& address);

}  // namespace kestrel::rclog
