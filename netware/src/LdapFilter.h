// A search filter as an LDAP filter (RFC 4515), every value escaped so that no character of
// it (a '*', '(', ')' or '\' included) changes the filter's structure. What the server cannot
// decide as the directory does (a part of the returned name, '?' in a pattern, ordering of
// texts...) widens the LDAP filter instead, and `exact` is false: the caller then checks each
// entry with the filter itself.
#pragma once

#include <string>
#include <string_view>

#include "LdapSchema.h"
#include "SearchFilter.h"

namespace nw {

struct LdapFilter {
    std::string text;
    bool exact = true;
};

// `filter` may be null (every object).
LdapFilter toLdapFilter(const SearchFilter* filter, const LdapSchema& schema);

// A value for a filter: '*', '(', ')', '\', NUL and every byte outside printable ASCII as \xx.
std::string escapeFilterValue(std::string_view value);

}  // namespace nw
