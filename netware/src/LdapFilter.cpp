#include "LdapFilter.h"

#include <cctype>
#include <cstdlib>
#include <optional>

#include "LdapName.h"
#include "LdapNameParts.h"
#include "LdapValues.h"
#include "nwkit/Syntax.h"

namespace nw {

namespace {

constexpr std::string_view kEverything = "(objectClass=*)";
constexpr std::string_view kNothing = "(!(objectClass=*))";

// Part of a translation: no text means "any entry" (a superset the caller narrows).
struct Part {
    std::optional<std::string> text;
    bool exact = true;
};

Part exactly(std::string text) {
    return Part{std::move(text), true};
}
Part widened(std::optional<std::string> text = std::nullopt) {
    return Part{std::move(text), false};
}

// An attribute description an LDAP filter can carry (RFC 4512 descr).
bool isDescriptor(std::string_view name) {
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
    return true;
}

std::string item(std::string_view attribute, std::string_view op, std::string_view value) {
    return "(" + std::string(attribute) + std::string(op) + std::string(value) + ")";
}

class Translator {
  public:
    // Parts of the name become filters on the objects' own names when `nameParts` is given,
    // and are collected there.
    Translator(const LdapSchema& schema, std::vector<std::string>* nameParts)
        : schema_(schema), nameParts_(nameParts) {}

    Part node(const FilterNode& node) const {
        switch (node.kind) {
            case FTOK_AND:
                return conjunction(node);
            case FTOK_OR:
                return disjunction(node);
            case FTOK_NOT: {
                Part inner = this->node(*node.children.front());
                // The negation of a widened filter would be narrowed: the caller decides.
                if (!inner.text || !inner.exact) return widened();
                return exactly("(!" + *inner.text + ")");
            }
            case FTOK_BASECLS:
                return widened(item("objectClass", "=",
                                    escapeFilterValue(schema_.ldapClass(node.value.text))));
            case FTOK_RDN:
                return rdn(node.value.text);
            case FTOK_NAME_CONTAINS:
                return namePart(node.value.text);
            default:
                return comparison(node);
        }
    }

  private:
    Part conjunction(const FilterNode& node) const {
        std::string terms;
        std::size_t count = 0;
        bool exact = true;
        for (const auto& child : node.children) {
            Part part = this->node(*child);
            exact = exact && part.exact;
            if (!part.text) continue;  // any entry: the other terms decide
            terms += *part.text;
            ++count;
        }
        if (count == 0) return widened();
        return Part{count == 1 ? terms : "(&" + terms + ")", exact};
    }

    Part disjunction(const FilterNode& node) const {
        std::string terms;
        bool exact = true;
        for (const auto& child : node.children) {
            Part part = this->node(*child);
            if (!part.text) return widened();
            exact = exact && part.exact;
            terms += *part.text;
        }
        return Part{"(|" + terms + ")", exact};
    }

    Part rdn(const std::string& value) const {
        std::size_t equals = value.find('=');
        if (equals != std::string::npos) {
            std::string type = ldapNamingType(value.substr(0, equals));
            if (!isDescriptor(type)) return exactly(std::string(kNothing));
            return widened(item(type, "=", escapeFilterValue(value.substr(equals + 1))));
        }
        std::string terms;
        for (std::string_view type : kNamingAttributes)
            terms += item(type, "=", escapeFilterValue(value));
        return widened("(|" + terms + ")");
    }

    Part namePart(const std::string& part) const {
        auto own = nameParts_ != nullptr ? ownNameFilter(part, schema_) : std::nullopt;
        if (!own) return widened();
        nameParts_->push_back(part);
        return widened(*own);
    }

    Part comparison(const FilterNode& node) const {
        std::string attribute = schema_.ldapAttribute(node.attribute);
        // An attribute the server does not have holds no value: nothing matches, and a NOT
        // of it everything (the server itself would leave both undecided).
        if (!isDescriptor(attribute) || !schema_.knows(attribute))
            return exactly(std::string(kNothing));
        std::string present = item(attribute, "=*", "");
        if (node.kind == FTOK_PRESENT) return exactly(present);
        std::uint32_t syntax = schema_.syntaxOf(attribute);
        const LdapAttributeType* type = schema_.attributeType(attribute);
        bool ordering = type != nullptr && type->ordering;
        bool substrings = type != nullptr && type->substrings;
        const auto& value = node.value;
        bool numericValue = kit::isNumericSyntax(value.syntax);

        if (kit::isNumericSyntax(syntax)) {
            std::uint32_t number =
                numericValue
                    ? value.number
                    : static_cast<std::uint32_t>(std::strtoul(value.text.c_str(), nullptr, 10));
            std::string text = escapeFilterValue(ldapNumber(syntax, number));
            if (node.kind == FTOK_GE || node.kind == FTOK_LE) {
                if (!ordering) return widened(present);
                return exactly(item(attribute, node.kind == FTOK_GE ? ">=" : "<=", text));
            }
            return exactly(item(attribute, "=", text));
        }
        std::string want = numericValue ? std::to_string(value.number) : value.text;
        if (syntax == SYN_OCTET_STRING && node.kind == FTOK_EQ)
            return exactly(item(attribute, "=", escapeFilterValue(want)));
        // Names, addresses and ordered texts compare in the directory's own terms.
        if (!kit::isTextSyntax(syntax) || syntax == SYN_DIST_NAME || node.kind == FTOK_GE ||
            node.kind == FTOK_LE)
            return widened(present);
        if (syntax == SYN_CLASS_NAME && node.kind == FTOK_EQ &&
            equalsIgnoreAsciiCase(attribute, "objectClass"))
            want = schema_.ldapClass(want);
        if (node.kind != FTOK_APPROX) return exactly(item(attribute, "=", escapeFilterValue(want)));
        return pattern(attribute, want, substrings, present);
    }

    // A pattern with '*' for any run of characters and '?' for one.
    static Part pattern(const std::string& attribute, const std::string& want, bool substrings,
                        const std::string& present) {
        if (want.find_first_of("*?") == std::string::npos)
            return exactly(item(attribute, "=", escapeFilterValue(want)));
        if (!substrings) return widened(present);
        // '?' has no LDAP counterpart: '*' stands in for it, and the caller checks.
        bool exact = want.find('?') == std::string::npos;
        std::string text;
        std::size_t start = 0;
        for (;;) {
            std::size_t wildcard = want.find_first_of("*?", start);
            text += escapeFilterValue(want.substr(start, wildcard - start));
            if (wildcard == std::string::npos) break;
            if (text.empty() || text.back() != '*') text.push_back('*');
            start = wildcard + 1;
        }
        if (text == "*") return Part{present, exact};
        return Part{item(attribute, "=", text), exact};
    }

    const LdapSchema& schema_;
    std::vector<std::string>* nameParts_;
};

}  // namespace

std::string escapeFilterValue(std::string_view value) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '*' || c == '(' || c == ')' || c == '\\') {
            out.push_back('\\');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0xF]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

namespace {

void collectAttributes(const FilterNode& node, const LdapSchema& schema,
                       std::vector<std::string>* names) {
    if (!node.attribute.empty()) names->push_back(schema.ldapAttribute(node.attribute));
    for (const auto& child : node.children) collectAttributes(*child, schema, names);
}

}  // namespace

std::vector<std::string> comparedAttributes(const SearchFilter* filter, const LdapSchema& schema) {
    std::vector<std::string> names;
    if (filter != nullptr && filter->root() != nullptr)
        collectAttributes(*filter->root(), schema, &names);
    return names;
}

LdapFilter toLdapFilter(const SearchFilter* filter, const LdapSchema& schema, bool narrowNames) {
    if (filter == nullptr || filter->root() == nullptr)
        return LdapFilter{std::string(kEverything), true, {}};
    LdapFilter out;
    Part part = Translator(schema, narrowNames ? &out.nameParts : nullptr).node(*filter->root());
    out.text = part.text.value_or(std::string(kEverything));
    out.exact = part.exact;
    return out;
}

}  // namespace nw
