// A search filter as an LDAP filter (RFC 4515), every value escaped so that no character of
// it (a '*', '(', ')' or '\' included) changes the filter's structure. What the server cannot
// decide as the directory does (a part of the returned name, '?' in a pattern, ordering of
// texts...) widens the LDAP filter instead, and `exact` is false: the caller then checks each
// entry with the filter itself.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "LdapSchema.h"
#include "SearchFilter.h"

namespace nw {

struct LdapFilter {
    std::string text;
    bool exact = true;
    // The parts of the name that `text` narrows to the objects' own names (LdapNameParts.h).
    std::vector<std::string> nameParts;
};

// `filter` may be null (every object). With `narrowNames` the parts of the name are sent as
// filters on the objects' own names, which find every match only while no container in the
// search's reach has a name holding one of `nameParts`: the caller makes sure of that, or
// translates again without.
LdapFilter toLdapFilter(const SearchFilter* filter, const LdapSchema& schema,
                        bool narrowNames = false);

// The LDAP attributes whose values `filter` (may be null) compares: what a caller checking
// entries with the filter needs of them, besides their names and classes.
std::vector<std::string> comparedAttributes(const SearchFilter* filter, const LdapSchema& schema);

// A value for a filter: '*', '(', ')', '\', NUL and every byte outside printable ASCII as \xx.
std::string escapeFilterValue(std::string_view value);

}  // namespace nw
