// Distinguished names of the directory: parsing what callers pass, resolving it against a
// name context, and the lookup key under which an object is found.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AsciiCase.h"

namespace nw {

struct NameComponent {
    std::string type;  // empty when the caller wrote the component without a type
    std::string value;
};

// An absolute name: components leaf first; no components = the root of the tree.
struct AbsoluteName {
    std::vector<NameComponent> components;

    bool isRoot() const { return components.empty(); }
    // Typed dotted form, "[Root]" for the root.
    std::string text() const;
    // Lower-cased typed form: the key under which the directory finds the object.
    std::string key() const;
};

// What a caller wrote: the components, whether it began with a full stop and how many
// trailing full stops climb above the name context.
struct ParsedName {
    std::vector<NameComponent> components;
    bool absolute = false;
    bool root = false;
    int levelsUp = 0;
};

enum class NameError { Invalid, TooLong };

// Splits a name at its unescaped full stops (a backslash escapes the next character).
std::optional<ParsedName> parseName(std::string_view text, NameError* error = nullptr);

// A name as the directory file writes it: full stops separate the components and nothing
// is escaped, so a backslash is an ordinary character of a value. Never absolute, never
// climbing; a component without a value makes the name invalid.
std::optional<ParsedName> parseFileName(std::string_view text, NameError* error = nullptr);

// How components written without a type are typed: for an object the leaf is CN, the last
// O and the ones between OU; for a container (a name context) there is no CN.
enum class Typing { Object, Container };

// The absolute name that `name` denotes. With canonicalize, relative names hang below
// `nameContext` (trailing full stops climb one level each); without it every name is taken
// from the root.
std::optional<AbsoluteName> resolveName(const ParsedName& name, const AbsoluteName& nameContext,
                                        bool canonicalize, Typing typing = Typing::Object);

// Parses and resolves in one step; "" is the name context itself.
std::optional<AbsoluteName> resolveName(std::string_view text, const AbsoluteName& nameContext,
                                        bool canonicalize, NameError* error = nullptr);

// The component texts of a stored dotted name such as "CN=WS17.OU=Sales.O=Acme", leaf first.
std::vector<std::string_view> splitStoredName(std::string_view dottedName);

// The first `keep` components of a stored name, without their types when typeless.
std::string formatStoredName(std::string_view stored, std::size_t keep, bool typeless);
// The same for a name split already.
std::string formatStoredName(const std::vector<std::string_view>& parts, std::size_t keep,
                             bool typeless);

// "CN=WS17" -> "WS17": the value part of a typed component.
std::string_view componentValue(std::string_view component);

// Names compare without regard to (ASCII) case.
using kestrel::platform::asciiLower;
using kestrel::platform::equalsIgnoreAsciiCase;

// Case-insensitive match in which '*' stands for any run of characters and '?' for one.
bool wildcardMatch(std::string_view text, std::string_view pattern);

// Number of UTF-8 characters.
std::size_t utf8Length(std::string_view text);

}  // namespace nw
