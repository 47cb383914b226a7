#include "ops/LinkLine.h"

#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"
#include "script/Fields.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

namespace {

constexpr std::size_t kFieldSize = 256;

LinkScope scopeOf(std::string_view location) {
    location = trimBlanks(location);
    if (platform::startsWithIgnoreAsciiCase(location, "%User")) return LinkScope::User;
    if (platform::startsWithIgnoreAsciiCase(location, "%Common")) return LinkScope::Common;
    if (platform::startsWithIgnoreAsciiCase(location, "%App%")) return LinkScope::App;
    return LinkScope::Other;
}

std::string cut(std::string_view text) {
    return std::string(text.substr(0, kFieldSize - 1));
}

}  // namespace

LinkEntry parseLinkLine(std::string_view line, const Expander& expander) {
    LinkEntry entry;
    FieldReader reader(line);
    const std::string location = reader.next(kFieldSize).value_or(Field{}).text;
    entry.scope = scopeOf(location);
    entry.location = expander.expand(location);

    // A quoted target keeps what stands behind its closing quote (a plain field would drop it).
    std::string_view rest = trimBlanks(reader.rest());
    std::string quotedTail;
    if (!rest.empty() && rest.front() == '"') {
        const std::size_t close = rest.find('"', 1);
        const std::size_t comma = rest.find(',', close == std::string_view::npos ? 1 : close);
        entry.target = expander.expand(
            cut(rest.substr(1, close == std::string_view::npos ? comma - 1 : close - 1)));
        if (close != std::string_view::npos && close < comma) {
            quotedTail = cut(trimBlanks(rest.substr(close + 1, comma - close - 1)));
        }
        reader = FieldReader(comma == std::string_view::npos ? std::string_view()
                                                             : rest.substr(comma + 1));
    } else {
        entry.target = expander.expand(reader.next(kFieldSize).value_or(Field{}).text);
    }

    std::string fields[7];
    for (std::string& field : fields) field = reader.next(kFieldSize).value_or(Field{}).text;
    entry.arguments = expander.expand(fields[0].empty() ? quotedTail : fields[0]);
    entry.workingDirectory = expander.expand(fields[1]);
    entry.description = expander.expand(fields[2]);
    entry.iconFile = expander.expand(fields[3]);
    if (!trimBlanks(fields[4]).empty()) entry.iconIndex = readNumber(fields[4]);
    if (!trimBlanks(fields[5]).empty()) {
        entry.showCommand = static_cast<std::uint32_t>(readNumber(fields[5]));
    }
    entry.hotKey = static_cast<std::uint16_t>(readNumber(fields[6]));
    return entry;
}

bool linkApplies(LinkScope scope, const RunState& run, bool appLinksCommon) {
    if (scope == LinkScope::App) {
        if (run.admin) return false;
        scope = appLinksCommon ? LinkScope::Common : LinkScope::User;
    }
    switch (scope) {
        case LinkScope::User:
            return !run.admin && !run.workstation;
        case LinkScope::Common:
            return !run.admin && !run.perUserPart;
        default:
            return !run.client && !run.fromCD;
    }
}

std::string locationPath(std::string_view location, std::string_view programs) {
    const bool absolute =
        (location.size() >= 2 && location[1] == ':') || (!location.empty() && location[0] == '\\');
    return absolute ? std::string(location) : std::string(programs) + "\\" + std::string(location);
}

std::string linkFilePath(std::string_view location, std::string_view programs) {
    std::string path = locationPath(location, programs);
    if (!platform::hasExtension(path, ".lnk") && !platform::hasExtension(path, ".pif"))
        path += ".lnk";
    return path;
}

}  // namespace kestrel::setup
