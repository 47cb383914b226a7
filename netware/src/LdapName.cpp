#include "LdapName.h"

#include <ldap.h>

#include <memory>
#include <vector>

namespace nw {

namespace {

struct TypePair {
    std::string_view directory, ldap;
};
// Naming types whose LDAP names are not simply lower-cased.
constexpr TypePair kRenamedTypes[] = {{"S", "st"}, {"SA", "street"}};

using DnPointer = std::unique_ptr<LDAPRDN, decltype(&ldap_dnfree)>;

DnPointer parseDn(std::string_view text) {
    LDAPDN dn = nullptr;
    std::string copy(text);
    if (ldap_str2dn(copy.c_str(), &dn, LDAP_DN_FORMAT_LDAPV3) != LDAP_SUCCESS) dn = nullptr;
    return DnPointer(dn, &ldap_dnfree);
}

std::size_t rdnCount(LDAPDN dn) {
    std::size_t count = 0;
    while (dn != nullptr && dn[count] != nullptr) ++count;
    return count;
}

std::string_view viewOf(const berval& value) {
    return std::string_view(value.bv_val, value.bv_len);
}

// Two RDNs compare by type and value without regard to ASCII case, as the directory's names do.
bool sameRdn(LDAPRDN a, LDAPRDN b) {
    std::size_t i = 0;
    for (; a[i] != nullptr && b[i] != nullptr; ++i)
        if (!equalsIgnoreAsciiCase(viewOf(a[i]->la_attr), viewOf(b[i]->la_attr)) ||
            !equalsIgnoreAsciiCase(viewOf(a[i]->la_value), viewOf(b[i]->la_value)))
            return false;
    return a[i] == nullptr && b[i] == nullptr;
}

}  // namespace

std::string ldapNamingType(std::string_view type) {
    for (const auto& pair : kRenamedTypes)
        if (equalsIgnoreAsciiCase(type, pair.directory)) return std::string(pair.ldap);
    return asciiLower(type);
}

std::string directoryNamingType(std::string_view type) {
    for (const auto& pair : kRenamedTypes)
        if (equalsIgnoreAsciiCase(type, pair.ldap)) return std::string(pair.directory);
    return kestrel::platform::asciiUpper(type);
}

std::string escapeDnValue(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size() + 8);
    for (std::size_t i = 0; i < value.size(); ++i) {
        auto byte = static_cast<unsigned char>(value[i]);
        bool edgeBlank = byte == ' ' && (i == 0 || i + 1 == value.size());
        if (byte < 0x20 || byte >= 0x7F) {
            out.push_back('\\');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0xF]);
            continue;
        }
        bool special =
            std::string_view(",+\"\\<>;=").find(static_cast<char>(byte)) != std::string_view::npos;
        if (special || edgeBlank || (byte == '#' && i == 0)) out.push_back('\\');
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

std::string toDn(const AbsoluteName& name, std::string_view baseDn) {
    std::string dn;
    for (const auto& component : name.components) {
        dn += ldapNamingType(component.type);
        dn.push_back('=');
        dn += escapeDnValue(component.value);
        dn.push_back(',');
    }
    if (baseDn.empty() && !dn.empty()) dn.pop_back();
    return dn + std::string(baseDn);
}

std::optional<std::string> fromDn(std::string_view dnText, std::string_view baseDnText) {
    DnPointer dn = parseDn(dnText);
    DnPointer base = parseDn(baseDnText);
    if (!dn || (!base && !baseDnText.empty())) return std::nullopt;
    std::size_t total = rdnCount(dn.get()), baseCount = rdnCount(base.get());
    if (total < baseCount) return std::nullopt;
    std::size_t own = total - baseCount;
    for (std::size_t i = 0; i < baseCount; ++i)
        if (!sameRdn(dn.get()[own + i], base.get()[i])) return std::nullopt;
    AbsoluteName name;
    for (std::size_t i = 0; i < own; ++i) {
        // A multi-valued RDN has no dotted form: its first value names the object.
        LDAPAVA* ava = dn.get()[i][0];
        name.components.push_back(
            {directoryNamingType(viewOf(ava->la_attr)), std::string(viewOf(ava->la_value))});
    }
    return name.isRoot() ? std::string() : name.text();
}

}  // namespace nw
