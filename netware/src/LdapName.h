// Names between the directory's dotted form and LDAP distinguished names (RFC 4514):
// CN=WS17.OU=Sales.O=Acme in a tree whose [Root] is dc=ACME_TREE,dc=kestrel is
// cn=WS17,ou=Sales,o=Acme,dc=ACME_TREE,dc=kestrel. Naming types map lower-cased (S is st).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "DirectoryName.h"

namespace nw {

// The attributes that name the directory's objects (an RDN item without a type may mean any).
inline constexpr std::string_view kNamingAttributes[] = {"cn", "ou", "o", "c", "l", "st"};

// "CN" -> "cn", "S" -> "st", "SA" -> "street"; other types lower-cased.
std::string ldapNamingType(std::string_view type);
// The reverse: "cn" -> "CN", "st" -> "S"; other types upper-cased.
std::string directoryNamingType(std::string_view type);

// One attribute value escaped for a DN (RFC 4514): the special characters, a leading '#'
// or blank, a trailing blank, control characters and non-ASCII bytes.
std::string escapeDnValue(std::string_view value);

// The DN of an absolute name below `baseDn` ([Root] is the base DN itself).
std::string toDn(const AbsoluteName& name, std::string_view baseDn);

// The name stored for a DN: the typed dotted form (see AbsoluteName::text) of the part below
// `baseDn`, "" for the base itself; nothing when the DN is malformed or lies elsewhere.
std::optional<std::string> fromDn(std::string_view dn, std::string_view baseDn);

}  // namespace nw
