// Hexadecimal and Base64 text of byte strings, as the directory file writes octet values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nw {

// Pairs of hexadecimal digits (either case); nullopt for an odd count or another character.
std::optional<std::string> decodeHex(std::string_view text);
// Standard alphabet with '=' padding; nullopt when malformed.
std::optional<std::string> decodeBase64(std::string_view text);

}  // namespace nw
