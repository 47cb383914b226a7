#include "DirectoryName.h"

#include <algorithm>

#include "nwdstype.h"

namespace nw {

namespace {

constexpr std::string_view kRoot = "[Root]";

std::string escapeValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '.' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

// One component as written: "CN=WS17" or "WS17"; escapes removed from the value.
std::optional<NameComponent> parseComponent(std::string_view text) {
    NameComponent component;
    std::string* target = &component.value;
    bool typed = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            target->push_back(text[++i]);
        } else if (c == '=' && !typed) {
            component.type = std::move(component.value);
            component.value.clear();
            typed = true;
        } else {
            target->push_back(c);
        }
    }
    if (component.value.empty() || (typed && component.type.empty())) return std::nullopt;
    return component;
}

}  // namespace

bool wildcardMatch(std::string_view text, std::string_view pattern) {
    // Greedy matching with one backtrack point: linear in practice, never exponential.
    std::size_t t = 0, p = 0, starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' ||
                    equalsIgnoreAsciiCase(pattern.substr(p, 1), text.substr(t, 1)))) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::size_t utf8Length(std::string_view text) {
    std::size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

std::string AbsoluteName::text() const {
    if (components.empty()) return std::string(kRoot);
    std::string out;
    for (const auto& c : components) {
        if (!out.empty()) out.push_back('.');
        out += c.type;
        out.push_back('=');
        out += escapeValue(c.value);
    }
    return out;
}

std::string AbsoluteName::key() const {
    return asciiLower(text());
}

std::optional<ParsedName> parseName(std::string_view text, NameError* error) {
    auto fail = [&](NameError e) -> std::optional<ParsedName> {
        if (error) *error = e;
        return std::nullopt;
    };
    if (utf8Length(text) > MAX_DN_CHARS) return fail(NameError::TooLong);

    ParsedName name;
    if (!text.empty() && text.front() == '.') {
        name.absolute = true;
        text.remove_prefix(1);
    }
    if (equalsIgnoreAsciiCase(text, kRoot)) {
        name.root = true;
        name.absolute = true;
        return name;
    }
    // Trailing unescaped full stops climb above the name context.
    while (!text.empty() && text.back() == '.') {
        std::size_t backslashes = 0;
        for (std::size_t i = text.size() - 1; i > 0 && text[i - 1] == '\\'; --i) ++backslashes;
        if (backslashes % 2 == 1) break;
        ++name.levelsUp;
        text.remove_suffix(1);
    }
    if (text.empty()) {
        if (name.absolute) return fail(NameError::Invalid);
        return name;
    }
    for (std::string_view part : splitStoredName(text)) {
        auto component = parseComponent(part);
        if (!component) return fail(NameError::Invalid);
        name.components.push_back(std::move(*component));
    }
    if (name.absolute && name.levelsUp > 0) return fail(NameError::Invalid);
    return name;
}

std::optional<ParsedName> parseFileName(std::string_view text, NameError* error) {
    auto fail = [&](NameError e) -> std::optional<ParsedName> {
        if (error) *error = e;
        return std::nullopt;
    };
    if (utf8Length(text) > MAX_DN_CHARS) return fail(NameError::TooLong);
    ParsedName name;
    std::size_t start = 0;
    for (;;) {
        const std::size_t stop = std::min(text.find('.', start), text.size());
        const std::string_view part = text.substr(start, stop - start);
        const std::size_t equals = part.find('=');
        NameComponent component;
        if (equals == std::string_view::npos) {
            component.value = part;
        } else {
            component.type = part.substr(0, equals);
            component.value = part.substr(equals + 1);
            if (component.type.empty()) return fail(NameError::Invalid);
        }
        if (component.value.empty()) return fail(NameError::Invalid);
        name.components.push_back(std::move(component));
        if (stop == text.size()) return name;
        start = stop + 1;
    }
}

std::optional<AbsoluteName> resolveName(const ParsedName& name, const AbsoluteName& nameContext,
                                        bool canonicalize, Typing typing) {
    AbsoluteName result;
    if (name.root) return result;
    result.components = name.components;
    if (!name.absolute && canonicalize) {
        const auto& base = nameContext.components;
        if (static_cast<std::size_t>(name.levelsUp) > base.size()) return std::nullopt;
        result.components.insert(result.components.end(), base.begin() + name.levelsUp, base.end());
    }
    auto& parts = result.components;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!parts[i].type.empty()) continue;
        if (i + 1 == parts.size())
            parts[i].type = "O";
        else if (i == 0 && typing == Typing::Object)
            parts[i].type = "CN";
        else
            parts[i].type = "OU";
    }
    if (utf8Length(result.text()) > MAX_DN_CHARS) return std::nullopt;
    return result;
}

std::optional<AbsoluteName> resolveName(std::string_view text, const AbsoluteName& nameContext,
                                        bool canonicalize, NameError* error) {
    if (text.empty()) return nameContext;
    auto parsed = parseName(text, error);
    if (!parsed) return std::nullopt;
    auto resolved = resolveName(*parsed, nameContext, canonicalize);
    if (!resolved && error) *error = NameError::Invalid;
    return resolved;
}

std::vector<std::string_view> splitStoredName(std::string_view dottedName) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < dottedName.size(); ++i) {
        if (dottedName[i] == '\\') {
            ++i;
        } else if (dottedName[i] == '.') {
            parts.push_back(dottedName.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(dottedName.substr(start));
    return parts;
}

std::string formatStoredName(std::string_view stored, std::size_t keep, bool typeless) {
    return formatStoredName(splitStoredName(stored), keep, typeless);
}

std::string formatStoredName(const std::vector<std::string_view>& parts, std::size_t keep,
                             bool typeless) {
    std::string out;
    for (std::size_t i = 0; i < parts.size() && i < keep; ++i) {
        if (i > 0) out.push_back('.');
        out += typeless ? componentValue(parts[i]) : parts[i];
    }
    return out;
}

std::string_view componentValue(std::string_view component) {
    for (std::size_t i = 0; i < component.size(); ++i) {
        if (component[i] == '\\')
            ++i;
        else if (component[i] == '=')
            return component.substr(i + 1);
    }
    return component;
}

}  // namespace nw
