#include "LdapNameParts.h"

#include "LdapFilter.h"
#include "LdapName.h"
#include "ReplyEncoding.h"

namespace nw {

namespace {

bool isAsciiLetter(unsigned char byte) {
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

// What every value holding `part` holds in order under a server's matching rule (see the
// header): its runs of printable ASCII but the backslash.
std::vector<std::string> runsOf(std::string_view part) {
    std::vector<std::string> runs;
    std::string run;
    for (std::size_t i = 0; i <= part.size(); ++i) {
        auto byte = i < part.size() ? static_cast<unsigned char>(part[i]) : 0;
        if (byte > 0x20 && byte < 0x7F && byte != '\\') {
            run.push_back(static_cast<char>(byte));
            continue;
        }
        // '<' and '>' take combining marks as letters do (U+226E, U+226F).
        auto last = run.empty() ? 0 : static_cast<unsigned char>(run.back());
        bool joinable = isAsciiLetter(last) || last == '<' || last == '>';
        if (joinable && (i == part.size() || byte >= 0x80)) run.pop_back();
        if (!run.empty()) runs.push_back(std::move(run));
        run.clear();
    }
    return runs;
}

// "*run*run*": the substring assertion of the runs.
std::string substrings(const std::vector<std::string>& runs) {
    std::string value = "*";
    for (const std::string& run : runs) value += escapeFilterValue(run) + "*";
    return value;
}

}  // namespace

std::optional<std::string> ownNameFilter(std::string_view part, const LdapSchema& schema) {
    if (part == "*" || part.find_first_of(".=") != std::string_view::npos) return std::nullopt;
    // A part of "CN" or "OU" is in the type of every typed name.
    for (std::string_view type : kNamingAttributes)
        if (directoryNamingType(type).find(part) != std::string::npos) return std::nullopt;
    const LdapAttributeType* cn = schema.attributeType("cn");
    if (!schema.knows("cn") || (cn != nullptr && !cn->substrings)) return std::nullopt;
    std::vector<std::string> runs = runsOf(part);
    if (runs.empty()) return std::nullopt;
    return "(cn=" + substrings(runs) + ")";
}

std::string namedContainersFilter(const std::vector<std::string>& parts, const LdapSchema& schema) {
    std::string classes, anyName, commonName;
    for (std::string_view name : kContainerClasses)
        classes += "(objectClass=" + escapeFilterValue(schema.ldapClass(name)) + ")";
    for (const std::string& part : parts) {
        std::string value = substrings(runsOf(part));
        for (std::string_view type : kNamingAttributes)
            anyName += "(" + std::string(type) + "=" + value + ")";
        commonName += "(cn=" + value + ")";
    }
    // Each branch starts from what the server's indexes give (the container classes, cn),
    // so the server reads no entry beyond those.
    return "(|(&(|" + classes + ")(|" + anyName + "))(&(|" + commonName +
           ")(hasSubordinates=TRUE)))";
}

bool mayHoldNamePart(std::string_view name, const std::vector<std::string>& parts) {
    std::string lower = asciiLower(name);
    for (const std::string& part : parts) {
        std::size_t at = 0;
        bool held = true;
        for (const std::string& run : runsOf(part)) {
            at = lower.find(asciiLower(run), at);
            if (at == std::string::npos) {
                held = false;
                break;
            }
            at += run.size();
        }
        if (held) return true;
    }
    return false;
}

}  // namespace nw
