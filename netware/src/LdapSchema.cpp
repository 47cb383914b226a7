#include "LdapSchema.h"

#include <ldap.h>
#include <ldap_schema.h>

#include <cstdlib>

#include "DirectoryName.h"
#include "ObjectRecord.h"
#include "nwnet.h"

namespace nw {

namespace {

struct NamePair {
    std::string_view directory, ldap;
};

// Directory names whose LDAP counterparts are not the derived names: the core schema's.
constexpr NamePair kStandardAttributes[] = {{"Object Class", "objectClass"},
                                            {"Surname", "sn"},
                                            {"Telephone Number", "telephoneNumber"},
                                            {"CN", "cn"},
                                            {"OU", "ou"},
                                            {"O", "o"},
                                            {"C", "c"},
                                            {"L", "l"},
                                            {"S", "st"}};
constexpr NamePair kStandardClasses[] = {{"Organization", "organization"},
                                         {"Organizational Unit", "organizationalUnit"},
                                         {"User", "inetOrgPerson"},
                                         {"Country", "country"},
                                         {"Locality", "locality"},
                                         {"Top", "top"},
                                         {"Person", "person"},
                                         {"Organizational Person", "organizationalPerson"}};

constexpr std::string_view kSyntaxPrefix = "1.3.6.1.4.1.1466.115.121.1.";

std::uint32_t syntaxOfOid(std::string_view oid, std::string_view equality) {
    if (!oid.starts_with(kSyntaxPrefix)) return SYN_CI_STRING;
    switch (std::atoi(std::string(oid.substr(kSyntaxPrefix.size())).c_str())) {
        case 7:
            return SYN_BOOLEAN;
        case 12:
            return SYN_DIST_NAME;
        case 24:
            return SYN_TIME;
        case 27:
            return SYN_INTEGER;
        case 36:
            return SYN_NU_STRING;
        case 38:
            return SYN_CLASS_NAME;
        case 40:
            return SYN_OCTET_STRING;
        case 44:
            return SYN_PR_STRING;
        case 50:
            return SYN_TEL_NUMBER;
        default:
            return equalsIgnoreAsciiCase(equality, "caseExactMatch") ? SYN_CE_STRING
                                                                     : SYN_CI_STRING;
    }
}

const char* extension(LDAPSchemaExtensionItem** items, std::string_view name) {
    for (; items != nullptr && *items != nullptr; ++items)
        if (equalsIgnoreAsciiCase((*items)->lsei_name, name) && (*items)->lsei_values != nullptr &&
            (*items)->lsei_values[0] != nullptr)
            return (*items)->lsei_values[0];
    return nullptr;
}

std::string text(const char* value) {
    return value == nullptr ? std::string() : std::string(value);
}

template <std::size_t N>
const NamePair* findPair(const NamePair (&table)[N], std::string_view name, bool byLdap) {
    for (const NamePair& pair : table)
        if (equalsIgnoreAsciiCase(byLdap ? pair.ldap : pair.directory, name)) return &pair;
    return nullptr;
}

// "workstation" -> "Workstation": the reverse of the derivation where no schema says more.
std::string upperFirst(std::string_view name) {
    std::string out(name);
    if (!out.empty()) out[0] = kestrel::platform::asciiUpper(out.substr(0, 1))[0];
    return out;
}

void saveTexts(std::string& out, const std::map<std::string, std::string>& texts) {
    appendNumber(out, static_cast<std::uint32_t>(texts.size()));
    for (const auto& [key, value] : texts) {
        appendText(out, key);
        appendText(out, value);
    }
}

bool restoreTexts(RecordCursor& in, std::map<std::string, std::string>* texts) {
    std::uint32_t count = 0;
    if (!in.number(&count)) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string_view key, value;
        if (!in.text(&key) || !in.text(&value)) return false;
        texts->emplace(key, value);
    }
    return true;
}

}  // namespace

std::string deriveLdapName(std::string_view directoryName) {
    std::string out;
    for (char c : directoryName)
        if (c != ' ' && c != ':') out.push_back(c);
    if (!out.empty()) out[0] = asciiLower(out.substr(0, 1))[0];
    return out;
}

void LdapSchema::addAttributeTypes(const std::vector<std::string>& descriptions) {
    struct Parsed {
        std::string sup, syntaxOid, equality;
        bool ordering = false, substrings = false;
    };
    std::map<std::string, Parsed> parsed;
    for (const std::string& description : descriptions) {
        int code = 0;
        const char* error = nullptr;
        LDAPAttributeType* type =
            ldap_str2attributetype(description.c_str(), &code, &error, LDAP_SCHEMA_ALLOW_ALL);
        if (type == nullptr) continue;  // one unreadable description spoils no other
        const char* ndsName = extension(type->at_extensions, "X-NDS_NAME");
        const char* ndsSyntax = extension(type->at_extensions, "X-NDS_SYNTAX");
        for (char** name = type->at_names; name != nullptr && *name != nullptr; ++name) {
            LdapAttributeType entry;
            entry.ldapName = *name;
            entry.directoryName = ndsName != nullptr ? ndsName : "";
            entry.syntax =
                ndsSyntax != nullptr ? static_cast<std::uint32_t>(std::atoi(ndsSyntax)) : 0;
            entry.ordering = type->at_ordering_oid != nullptr;
            entry.substrings = type->at_substr_oid != nullptr;
            std::string key = asciiLower(*name);
            parsed[key] = Parsed{asciiLower(text(type->at_sup_oid)), text(type->at_syntax_oid),
                                 text(type->at_equality_oid), entry.ordering, entry.substrings};
            // Of the types sharing a directory name, the one without a supertype holds it.
            if (ndsName != nullptr &&
                (type->at_sup_oid == nullptr ||
                 !attributeByDirectory_.contains(asciiLower(std::string_view(ndsName)))))
                attributeByDirectory_[asciiLower(std::string_view(ndsName))] = *name;
            attributes_[key] = std::move(entry);
        }
        ldap_attributetype_free(type);
    }
    // Syntax and matching rules are inherited from the supertype when a type names none
    // (cn has its substring rule from name).
    for (auto& [key, type] : attributes_) {
        auto at = parsed.find(key);
        Parsed own = at == parsed.end() ? Parsed{} : at->second;
        std::string sup = own.sup;
        for (int depth = 0; depth < 16 && !sup.empty(); ++depth) {
            auto up = parsed.find(sup);
            if (up == parsed.end()) break;
            if (own.syntaxOid.empty()) own.syntaxOid = up->second.syntaxOid;
            if (own.equality.empty()) own.equality = up->second.equality;
            own.ordering = own.ordering || up->second.ordering;
            own.substrings = own.substrings || up->second.substrings;
            sup = up->second.sup;
        }
        type.ordering = own.ordering;
        type.substrings = own.substrings;
        if (type.syntax == 0) type.syntax = syntaxOfOid(own.syntaxOid, own.equality);
    }
}

void LdapSchema::addObjectClasses(const std::vector<std::string>& descriptions) {
    for (const std::string& description : descriptions) {
        int code = 0;
        const char* error = nullptr;
        LDAPObjectClass* type =
            ldap_str2objectclass(description.c_str(), &code, &error, LDAP_SCHEMA_ALLOW_ALL);
        if (type == nullptr) continue;
        const char* ndsName = extension(type->oc_extensions, "X-NDS_NAME");
        for (char** name = type->oc_names; name != nullptr && *name != nullptr; ++name) {
            auxiliary_[asciiLower(std::string_view(*name))] =
                type->oc_kind == LDAP_SCHEMA_AUXILIARY;
            if (ndsName == nullptr) continue;
            classToDirectory_[asciiLower(std::string_view(*name))] = ndsName;
            classToLdap_[asciiLower(std::string_view(ndsName))] = *name;
        }
        ldap_objectclass_free(type);
    }
}

std::string LdapSchema::saved() const {
    std::string out;
    appendNumber(out, static_cast<std::uint32_t>(attributes_.size()));
    for (const auto& [key, type] : attributes_) {
        appendText(out, key);
        appendText(out, type.ldapName);
        appendText(out, type.directoryName);
        appendNumber(out, type.syntax);
        appendNumber(out, (type.ordering ? 1u : 0u) | (type.substrings ? 2u : 0u));
    }
    saveTexts(out, attributeByDirectory_);
    saveTexts(out, classToDirectory_);
    saveTexts(out, classToLdap_);
    std::map<std::string, std::string> auxiliary;
    for (const auto& [name, isAuxiliary] : auxiliary_) auxiliary[name] = isAuxiliary ? "1" : "";
    saveTexts(out, auxiliary);
    return out;
}

bool LdapSchema::restore(std::string_view bytes) {
    LdapSchema read;
    RecordCursor in(bytes);
    std::uint32_t count = 0;
    if (!in.number(&count)) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string_view key, ldapName, directoryName;
        LdapAttributeType type;
        std::uint32_t flags = 0;
        if (!in.text(&key) || !in.text(&ldapName) || !in.text(&directoryName) ||
            !in.number(&type.syntax) || !in.number(&flags))
            return false;
        type.ldapName = ldapName;
        type.directoryName = directoryName;
        type.ordering = (flags & 1u) != 0;
        type.substrings = (flags & 2u) != 0;
        read.attributes_.emplace(key, std::move(type));
    }
    std::map<std::string, std::string> auxiliary;
    if (!restoreTexts(in, &read.attributeByDirectory_) ||
        !restoreTexts(in, &read.classToDirectory_) || !restoreTexts(in, &read.classToLdap_) ||
        !restoreTexts(in, &auxiliary) || !in.rest().empty())
        return false;
    for (const auto& [name, flag] : auxiliary) read.auxiliary_[name] = !flag.empty();
    *this = std::move(read);
    return true;
}

std::string LdapSchema::ldapAttribute(std::string_view directoryName) const {
    auto it = attributeByDirectory_.find(asciiLower(directoryName));
    if (it != attributeByDirectory_.end()) return it->second;
    if (const NamePair* pair = findPair(kStandardAttributes, directoryName, false))
        return std::string(pair->ldap);
    return deriveLdapName(directoryName);
}

const LdapAttributeType* LdapSchema::attributeType(std::string_view ldapName) const {
    auto it = attributes_.find(asciiLower(ldapName));
    return it == attributes_.end() ? nullptr : &it->second;
}

bool LdapSchema::knows(std::string_view ldapName) const {
    return attributes_.empty() || attributeType(ldapName) != nullptr;
}

std::string LdapSchema::directoryAttribute(std::string_view ldapName) const {
    const LdapAttributeType* type = attributeType(ldapName);
    if (type != nullptr && !type->directoryName.empty()) return type->directoryName;
    if (const NamePair* pair = findPair(kStandardAttributes, ldapName, true))
        return std::string(pair->directory);
    return upperFirst(ldapName);
}

std::uint32_t LdapSchema::syntaxOf(std::string_view ldapName) const {
    if (equalsIgnoreAsciiCase(ldapName, "objectClass")) return SYN_CLASS_NAME;
    const LdapAttributeType* type = attributeType(ldapName);
    return type == nullptr ? SYN_CI_STRING : type->syntax;
}

std::string LdapSchema::ldapClass(std::string_view directoryClass) const {
    auto it = classToLdap_.find(asciiLower(directoryClass));
    if (it != classToLdap_.end()) return it->second;
    if (const NamePair* pair = findPair(kStandardClasses, directoryClass, false))
        return std::string(pair->ldap);
    return deriveLdapName(directoryClass);
}

std::string LdapSchema::directoryClass(std::string_view ldapClass) const {
    auto it = classToDirectory_.find(asciiLower(ldapClass));
    if (it != classToDirectory_.end()) return it->second;
    if (const NamePair* pair = findPair(kStandardClasses, ldapClass, true))
        return std::string(pair->directory);
    return upperFirst(ldapClass);
}

bool LdapSchema::isAuxiliary(std::string_view ldapClass) const {
    auto it = auxiliary_.find(asciiLower(ldapClass));
    return it != auxiliary_.end() && it->second;
}

}  // namespace nw
