// Conversions between the UTF-8 of our strings and the encodings of Windows file formats.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::platform {

// Malformed UTF-8 (stray bytes, overlong forms, surrogates) becomes U+FFFD per bad byte.
std::u16string utf16FromUtf8(std::string_view text);

// An unpaired surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);

// The single-byte text a Windows ANSI field holds: characters outside Latin-1 become '?'.
std::string latin1FromUtf8(std::string_view text);
std::string utf8FromLatin1(std::string_view text);

}  // namespace kestrel::platform
