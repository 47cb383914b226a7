// How nwdir prints an attribute value read into a value area.
#pragma once

#include <string>

#include "nwnet.h"

namespace nwdir {

// Texts as they are; numbers in decimal; times as local "YYYY-MM-DD HH:MM:SS"; octets as
// "hex:..." (the directory file's own form); IP and IPX addresses in their usual notation,
// other addresses as "type N hex:...".
std::string valueText(nuint32 syntax, const void* area);

}  // namespace nwdir
