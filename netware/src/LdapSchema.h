// The directory's attribute and class names on an LDAP server, both ways, and the syntax of
// each attribute. Read from the server's schema (attributeTypes and objectClasses of its
// subschema entry, whose X-NDS_NAME and X-NDS_SYNTAX give the directory's name and syntax);
// a name the schema does not give is derived: "WM:NAME Computer" -> wMNAMEComputer.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nw {

// Spaces and colons removed, the first letter lower-cased.
std::string deriveLdapName(std::string_view directoryName);

struct LdapAttributeType {
    std::string ldapName;       // as the schema spells it
    std::string directoryName;  // the directory's name
    std::uint32_t syntax = 0;   // the directory syntax of its values
    bool ordering = false;      // the server can compare with >= and <=
    bool substrings = false;    // the server can match patterns with '*'
};

class LdapSchema {
  public:
    // Knows only the standard names (the derived ones and the core classes).
    LdapSchema() = default;
    // Reads attributeTypes and objectClasses values (RFC 4512 descriptions).
    void addAttributeTypes(const std::vector<std::string>& descriptions);
    void addObjectClasses(const std::vector<std::string>& descriptions);

    // The schema as read, in a form that is taken back without reading the descriptions
    // again; restore() is false (and the schema unchanged) for bytes that are not that form.
    std::string saved() const;
    bool restore(std::string_view bytes);

    // The LDAP attribute holding a directory attribute: the schema's type with that
    // X-NDS_NAME (the one that is no subtype of another), else the standard or derived name.
    std::string ldapAttribute(std::string_view directoryName) const;
    // What the schema says about an LDAP attribute, when it knows it.
    const LdapAttributeType* attributeType(std::string_view ldapName) const;
    // Whether the server has the attribute (true for every name while no schema was read).
    bool knows(std::string_view ldapName) const;
    // The directory's name for an LDAP attribute (schema, standard table, else the LDAP
    // name with its first letter upper-cased).
    std::string directoryAttribute(std::string_view ldapName) const;
    // The directory syntax of an LDAP attribute's values (case ignore string when unknown).
    std::uint32_t syntaxOf(std::string_view ldapName) const;

    std::string ldapClass(std::string_view directoryClass) const;
    std::string directoryClass(std::string_view ldapClass) const;
    // Auxiliary classes mix attributes in: the directory does not show them as classes.
    bool isAuxiliary(std::string_view ldapClass) const;

  private:
    std::map<std::string, LdapAttributeType> attributes_;      // by lower-cased LDAP name
    std::map<std::string, std::string> attributeByDirectory_;  // lower-cased directory name
    std::map<std::string, std::string> classToDirectory_;      // lower-cased LDAP class
    std::map<std::string, std::string> classToLdap_;           // lower-cased directory class
    std::map<std::string, bool> auxiliary_;
};

}  // namespace nw
