#include "ops/ListValue.h"

#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

namespace {

std::string_view fileNameOf(std::string_view item) {
    item = trimBlanks(item);
    if (item.size() >= 2 && item.front() == '"' && item.back() == '"') {
        item = item.substr(1, item.size() - 2);
    }
    return platform::fileNamePart(item, platform::PathSeparators::BackslashSlashOrColon);
}

bool sameText(std::string_view a, std::string_view b) {
    return platform::equalsIgnoreAsciiCase(platform::withoutTrailingBackslash(trimBlanks(a)),
                                           platform::withoutTrailingBackslash(trimBlanks(b)));
}

struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The next item at or after `pos`; begin == list.size() when there is none.
Span nextItem(std::string_view list, std::size_t pos, const ListRules& rules) {
    Span span;
    span.begin = std::min(list.find_first_not_of(rules.separators, pos), list.size());
    span.end = std::min(list.find_first_of(rules.separators, span.begin), list.size());
    return span;
}

}  // namespace

bool sameFileName(std::string_view a, std::string_view b) {
    return platform::equalsIgnoreAsciiCase(fileNameOf(a), fileNameOf(b));
}

const ListRules kProgramList{" \t,", ' ', sameFileName};
const ListRules kSemicolonList{";", ';', sameText};

bool listHas(std::string_view list, std::string_view item, const ListRules& rules) {
    for (Span span = nextItem(list, 0, rules); span.begin < list.size();
         span = nextItem(list, span.end, rules)) {
        if (rules.same(list.substr(span.begin, span.end - span.begin), item)) return true;
    }
    return false;
}

bool listEmpty(std::string_view list, const ListRules& rules) {
    return trimBlanks(list.substr(nextItem(list, 0, rules).begin)).empty();
}

std::string listWith(std::string_view list, std::string_view item, const ListRules& rules) {
    if (listHas(list, item, rules)) return std::string(list);
    if (listEmpty(list, rules)) return std::string(list) + std::string(item);
    return std::string(list) + rules.joiner + std::string(item);
}

std::string listWithout(std::string_view list, std::string_view item, const ListRules& rules) {
    std::string result(list);
    std::size_t pos = 0;
    while (true) {
        const std::string_view view = result;
        const Span span = nextItem(view, pos, rules);
        if (span.begin >= view.size()) break;
        if (!rules.same(view.substr(span.begin, span.end - span.begin), item)) {
            pos = span.end;
            continue;
        }
        if (span.begin > 0) {
            // The one separator listWith put before it.
            result.erase(span.begin - 1, span.end - span.begin + 1);
            pos = span.begin - 1;
        } else {
            const Span following = nextItem(view, span.end, rules);
            result.erase(0, following.begin);
            pos = 0;
        }
    }
    return result;
}

}  // namespace kestrel::setup
