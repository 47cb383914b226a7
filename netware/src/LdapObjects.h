// LDAP entries as the directory's objects: the name below the tree's base DN, the base class
// (the entry's structural class), and a record in the replies' form (ObjectRecord.h) with the
// attributes under their directory names and syntaxes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DirectoryName.h"
#include "LdapConnection.h"
#include "LdapSchema.h"

namespace nw {

// The operational attributes an object's description needs besides its own.
inline const std::vector<std::string> kDescriptionAttributes = {"structuralObjectClass",
                                                                "objectClass", "hasSubordinates"};

struct LdapObject {
    std::string name;  // stored typed dotted name
    std::string baseClass;
    bool container = false;
    bool hasSubordinates = false;
    std::string record;  // name, class, no password hash, attributes (when asked for)
};

// The values of an attribute of an entry (its name compared without regard to case).
const std::vector<std::string>* valuesOf(const LdapEntry& entry, std::string_view name);

// Nothing for the tree's base entry itself and for entries outside it.
std::optional<LdapObject> objectOf(const LdapEntry& entry, std::string_view baseDn,
                                   const LdapSchema& schema, bool withAttributes);

}  // namespace nw
