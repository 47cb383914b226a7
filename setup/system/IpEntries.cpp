#include "system/IpEntries.h"

#include <array>
#include <string>
#include <vector>

#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {

struct IpSectionKind {
    std::string_view section;
    IpDatabase database;
};

constexpr std::array<IpSectionKind, 5> kKinds{{
    {"IP Services", {"Services", 2}},
    {"IP Protocols", {"Protocol", 1}},
    {"IP Networks", {"Networks", 1}},
    {"IP Hosts", {"Hosts", 2}},
    {"IP LMHosts", {"LMHosts", 1}},
}};

constexpr std::string_view kBlanks = " \t";

std::vector<std::string_view> leadingWords(std::string_view text, std::size_t count) {
    std::vector<std::string_view> words;
    while (words.size() < count) {
        const std::size_t begin = text.find_first_not_of(kBlanks);
        if (begin == std::string_view::npos) break;
        text.remove_prefix(begin);
        const std::size_t end = std::min(text.find_first_of(kBlanks), text.size());
        words.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return words;
}

bool sameKey(std::string_view line, std::string_view entry, std::size_t keyWords) {
    const auto ours = leadingWords(entry, keyWords);
    const auto theirs = leadingWords(line, keyWords);
    if (ours.empty() || ours.size() != theirs.size()) return false;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        if (!platform::equalsIgnoreAsciiCase(ours[i], theirs[i])) return false;
    }
    return true;
}

}  // namespace

std::optional<IpDatabase> ipDatabaseOf(std::string_view section) {
    const std::string_view kind = section.substr(0, section.find(':'));
    for (const IpSectionKind& known : kKinds) {
        if (platform::equalsIgnoreAsciiCase(kind, known.section)) return known.database;
    }
    return std::nullopt;
}

void addIpEntry(TextFileLines& lines, std::string_view entry, std::size_t keyWords) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (sameKey(lines[i], entry, keyWords)) {
            lines.replace(i, std::string(entry));
            return;
        }
    }
    lines.append(std::string(entry));
}

void removeIpEntry(TextFileLines& lines, std::string_view entry, std::size_t keyWords) {
    for (std::size_t i = lines.size(); i-- > 0;) {
        if (sameKey(lines[i], entry, keyWords)) lines.erase(i);
    }
}

}  // namespace kestrel::setup
