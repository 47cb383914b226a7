#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>

#include "platform/WideText.h"
#include "platform/WineRegistryFile.h"

namespace kestrel::platform {

namespace {

constexpr char kControlEscapes[33] = ".......abtnvfr.............e....";

bool isHexDigit(char16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Escapes text the way Wine does; returns the number of characters written. Every unit is
// written, a zero too: names may end in one, and only string data carry a terminator, which
// their caller leaves out.
std::size_t appendEscaped(std::string& out, std::u16string_view text, std::string_view specials) {
    const std::size_t before = out.size();
    char buffer[16];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool hasNext = i + 1 < text.size();
        if (c > 127) {
            const bool longForm = hasNext && text[i + 1] < 128 && isHexDigit(text[i + 1]);
            std::snprintf(buffer, sizeof buffer, longForm ? "\\x%04x" : "\\x%x", unsigned{c});
            out += buffer;
        } else if (c < 32) {
            if (kControlEscapes[c] != '.') {
                out += '\\';
                out += kControlEscapes[c];
            } else {
                const bool octalFollows = hasNext && text[i + 1] >= '0' && text[i + 1] <= '7';
                std::snprintf(buffer, sizeof buffer, octalFollows ? "\\%03o" : "\\%o", unsigned{c});
                out += buffer;
            }
        } else {
            const char ascii = static_cast<char>(c);
            if (ascii == '\\' || specials.find(ascii) != std::string_view::npos) out += '\\';
            out += ascii;
        }
    }
    return out.size() - before;
}

// Strings are written as text only when they end in their terminating zero.
bool isTerminatedText(const RegistryValue& value) {
    if (!isStringType(value.type) || value.data.size() < 2 || value.data.size() % 2 != 0) {
        return false;
    }
    return value.data[value.data.size() - 1] == 0 && value.data[value.data.size() - 2] == 0;
}

void appendValue(std::string& out, const std::string& name, const RegistryValue& value) {
    std::size_t count;
    if (name.empty()) {
        out += "@=";
        count = 2;
    } else {
        out += '"';
        count = 1 + appendEscaped(out, utf8ToUtf16(name), "\"");
        out += "\"=";
        count += 2;
    }
    char buffer[32];
    if (isTerminatedText(value)) {
        if (value.type != kRegSz) {
            std::snprintf(buffer, sizeof buffer, "str(%x):", unsigned{value.type});
            out += buffer;
        }
        out += '"';
        const std::u16string text = bytesToUtf16(value.data);
        appendEscaped(out, std::u16string_view(text).substr(0, text.size() - 1), "\"");
        out += "\"\n";
        return;
    }
    if (value.type == kRegDword && value.data.size() == 4) {
        std::snprintf(buffer, sizeof buffer, "dword:%08x\n", unsigned{value.dwordValue()});
        out += buffer;
        return;
    }
    if (value.type == kRegBinary) {
        out += "hex:";
        count += 4;
    } else {
        const int n = std::snprintf(buffer, sizeof buffer, "hex(%x):", unsigned{value.type});
        out += buffer;
        count += static_cast<std::size_t>(n);
    }
    // Long data wraps after 76 columns with a backslash and a two-space indent.
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%02x",
                      unsigned{static_cast<unsigned char>(value.data[i])});
        out += buffer;
        count += 2;
        if (i + 1 < value.data.size()) {
            out += ',';
            if (++count > 76) {
                out += "\\\n  ";
                count = 2;
            }
        }
    }
    out += '\n';
}

void appendPath(std::string& out, const std::vector<const RegistryKey*>& path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i > 0) out += "\\\\";
        appendEscaped(out, utf8ToUtf16(path[i]->name()), "[]");
    }
}

// Writes the key's own lines (its header only when the file needs it); `path` leads from
// below the hive's root to the key.
void appendKeyLines(std::string& out, const RegistryKey& key,
                    const std::vector<const RegistryKey*>& path) {
    const bool isRoot = path.empty();
    // Keys that only hold subkeys are implied by them (volatile subkeys are not written, so
    // they imply nothing).
    const bool hasOwnContent =
        !key.values().empty() || key.className || key.isLink || !key.keptLines.empty();
    const bool impliedBySubkeys = std::ranges::any_of(
        key.subkeys(), [](const auto& entry) { return !entry.second->isVolatile; });
    if (!hasOwnContent && (isRoot || impliedBySubkeys)) return;
    out += "\n[";
    appendPath(out, path);
    out += ']';
    if (key.seconds) out += ' ' + std::to_string(*key.seconds);
    out += '\n';
    if (key.fileTime) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "#time=%x%08x\n",
                      static_cast<unsigned>(*key.fileTime >> 32),
                      static_cast<unsigned>(*key.fileTime & 0xFFFFFFFFu));
        out += buffer;
    }
    if (key.className) {
        out += "#class=\"";
        appendEscaped(out, utf8ToUtf16(*key.className), "\"");
        out += "\"\n";
    }
    if (key.isLink) out += "#link\n";
    std::size_t kept = 0;
    const auto appendKeptLines = [&](std::size_t beforeValue) {
        for (; kept < key.keptLines.size() && key.keptLines[kept].beforeValue <= beforeValue;
             ++kept) {
            out += key.keptLines[kept].text + '\n';
        }
    };
    std::size_t index = 0;
    for (const auto& [name, value] : key.values()) {
        appendKeptLines(index++);
        if (const std::string* line = key.unreadLine(name)) {
            out += *line + '\n';
        } else {
            appendValue(out, name, value);
        }
    }
    appendKeptLines(std::numeric_limits<std::size_t>::max());
}

}  // namespace

std::string serialiseWineRegistry(const RegistryHive& hive) {
    std::string out = "WINE REGISTRY Version 2\n";
    for (const std::string& line : hive.header) out += line + '\n';
    // Depth first without recursion: a hive may nest deeper than the stack allows.
    struct Visit {
        const RegistryKey* key;
        RegistryKey::SubkeyMap::const_iterator next;
    };
    std::vector<const RegistryKey*> path;  // below the root, down to the key being visited
    std::vector<Visit> visits{{&hive.root, hive.root.subkeys().begin()}};
    appendKeyLines(out, hive.root, path);
    while (!visits.empty()) {
        Visit& visit = visits.back();
        if (visit.next == visit.key->subkeys().end()) {
            visits.pop_back();
            if (!visits.empty()) path.pop_back();
            continue;
        }
        const RegistryKey& subkey = *(visit.next++)->second;
        if (subkey.isVolatile) continue;
        path.push_back(&subkey);
        appendKeyLines(out, subkey, path);
        visits.push_back({&subkey, subkey.subkeys().begin()});
    }
    return out;
}

}  // namespace kestrel::platform
