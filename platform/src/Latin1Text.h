// The single-byte text of Windows ANSI fields in file formats, taken as Latin-1.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::platform {

// Characters outside Latin-1 become '?' (one for each character, however it is encoded).
std::string latin1FromUtf8(std::string_view text);
std::string utf8FromLatin1(std::string_view text);

}  // namespace kestrel::platform
