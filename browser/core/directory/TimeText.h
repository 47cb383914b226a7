// Directory time values as the workstation details show them.
#pragma once

#include <cstdint>
#include <string>

namespace kestrel::browser {

// Local time in the fixed 24-character layout plus a line break, on a 12-hour clock without
// AM/PM: "Wed Jan  6 01:05:09 1999\n" for 13:05:09; hour 0 shows as 12.
// Empty when the time cannot be converted.
std::string timeText(std::uint32_t secondsSince1970);

}  // namespace kestrel::browser
