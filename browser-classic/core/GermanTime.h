// Directory time values as this edition shows them.
#pragma once

#include <cstdint>
#include <string>

namespace kestrel::classic {

// Local time with German month names, 24-hour clock: "07-Okt-1999 14:05:09".
// Empty when the time cannot be converted.
std::string germanTimeText(std::uint32_t secondsSince1970);

}  // namespace kestrel::classic
