// Attribute values between an LDAP server's form and the replies' wire form (ObjectRecord.h):
// text as it is, integers in decimal, times as generalized time (YYYYMMDDHHMMSSZ) <-> seconds
// since 1970, octets as they are, network addresses as "<type>#<bytes>", distinguished names
// as DNs <-> the directory's dotted names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nw {

// Seconds since 1970 (UTC) of a generalized time; nothing when malformed or outside what a
// time value holds (0 to 2^32 - 1).
std::optional<std::uint32_t> secondsOfGeneralizedTime(std::string_view text);
std::string generalizedTimeOf(std::uint32_t seconds);

// The wire form of a server's value of the given directory syntax, or nothing when the value
// does not have that syntax's form. DNs below `baseDn` become dotted names.
std::optional<std::string> wireValueOf(std::uint32_t syntax, std::string_view value,
                                       std::string_view baseDn);

// A filter's number as the server writes values of that syntax (time as generalized time).
std::string ldapNumber(std::uint32_t syntax, std::uint32_t number);

}  // namespace nw
