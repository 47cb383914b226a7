// A part of the name (FTOK_NAME_CONTAINS) as LDAP substring filters. The part is matched
// against the name as the search returns it, containers included and case mattering; a
// server can only match the entries' own naming values, with its own rule for case and
// blanks. So the server is sent what every match must hold in its own cn value: the part's
// runs of printable ASCII (blanks, non-ASCII bytes and backslashes, which may be escapes of
// the returned name, split runs, since a server folds case and blanks in its own way),
// without a last letter that a combining mark after it could join into another character
// where the server normalises. That holds for every match whose own name holds the part;
// matches below a container whose name holds it, and a part naming the search's base or the
// containers above it, are found by namedContainersFilter and mayHoldNamePart, and the
// caller then asks for every object instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "LdapSchema.h"

namespace nw {

// The substring filter on cn for objects whose own name holds `part`, or nothing when the
// part is not one the server can narrow (it spans components, lies in a naming type, or
// has no run to send).
std::optional<std::string> ownNameFilter(std::string_view part, const LdapSchema& schema);

// The entries whose own names may hold one of `parts` and that have objects below them:
// the container classes by any naming value, others by cn when they have subordinates.
std::string namedContainersFilter(const std::vector<std::string>& parts, const LdapSchema& schema);

// Whether `name` (typed, dotted) may hold one of `parts`, whatever the case of its letters.
bool mayHoldNamePart(std::string_view name, const std::vector<std::string>& parts);

}  // namespace nw
