#include "platform/ShortName.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "platform/AsciiCase.h"
#include "platform/RegistryKey.h"

namespace kestrel::platform {

namespace {

constexpr std::string_view kInvalidShortChars = "\"*+,/:;<=>?[\\]| ";

// The characters a short name may take from a long one: blanks and dots dropped, letters
// upper-cased, characters 8.3 names cannot hold (and each non-ASCII character) as '_'.
std::string shortChars(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ' ' || c == '.') continue;
        if ((byte & 0xC0) == 0x80) continue;  // the rest of a UTF-8 sequence
        if (byte >= 0x80 || byte < 0x20 || kInvalidShortChars.find(c) != std::string_view::npos) {
            out += '_';
        } else {
            out += asciiUpper(c);
        }
    }
    return out;
}

bool holdsOnlyShortChars(std::string_view text) {
    return std::ranges::none_of(text, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x80 || byte < 0x20 || kInvalidShortChars.find(c) != std::string_view::npos;
    });
}

std::string hash4(std::string_view name) {
    std::uint32_t hash = 2166136261u;
    for (const char c : asciiUpper(name)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>((hash ^ (hash >> 16)) & 0xFFFF));
    return text;
}

// The n-th candidate short name of a long name (n from 1).
std::string candidate(std::string_view longName, int n) {
    std::string_view stem = longName;
    while (!stem.empty() && stem.front() == '.') stem.remove_prefix(1);
    std::string extension;
    if (const std::size_t dot = stem.rfind('.'); dot != std::string_view::npos) {
        extension = shortChars(stem.substr(dot + 1)).substr(0, 3);
        stem = stem.substr(0, dot);
    }
    std::string base = shortChars(stem);
    if (base.empty()) base = "_";
    std::string name;
    if (n <= 4) {
        name = base.substr(0, 6) + "~" + std::to_string(n);
    } else if (n <= 13) {
        name = base.substr(0, 2) + hash4(longName) + "~" + std::to_string(n - 4);
    } else {
        const std::string number = "~" + std::to_string(n);
        name = base.substr(0, 8 - std::min<std::size_t>(7, number.size())) + number;
    }
    return extension.empty() ? name : name + "." + extension;
}

}  // namespace

bool isShortName(std::string_view name) {
    if (name == "." || name == "..") return true;
    if (name.empty() || name.size() > 12) return false;
    const std::size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3) return false;
    if (extension.find('.') != std::string_view::npos) return false;
    if (dot != std::string_view::npos && extension.empty()) return false;
    return holdsOnlyShortChars(base) && holdsOnlyShortChars(extension);
}

std::string shortNameIn(const std::vector<std::string>& entries, std::string_view name) {
    if (isShortName(name)) return std::string(name);
    std::vector<std::string> longNames;
    std::set<std::string> taken;  // upper case
    for (const std::string& entry : entries) {
        if (isShortName(entry)) {
            taken.insert(asciiUpper(entry));
        } else if (!equalsIgnoreAsciiCase(entry, name)) {
            longNames.push_back(entry);
        }
    }
    std::ranges::sort(longNames, RegistryNameLess{});
    const auto assign = [&](std::string_view longName) {
        for (int n = 1;; ++n) {
            std::string shortName = candidate(longName, n);
            if (taken.insert(asciiUpper(shortName)).second) return shortName;
        }
    };
    // Names sorting before ours take their short names first.
    const bool listed = std::ranges::any_of(
        entries, [&](const std::string& entry) { return equalsIgnoreAsciiCase(entry, name); });
    for (const std::string& longName : longNames) {
        if (listed && !RegistryNameLess{}(longName, name)) break;
        assign(longName);
    }
    return assign(name);
}

}  // namespace kestrel::platform
