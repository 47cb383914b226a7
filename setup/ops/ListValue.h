#pragma once

#include <string>
#include <string_view>

namespace kestrel::setup {

// How a value that holds a list is split into items and how items are compared.
struct ListRules {
    std::string_view separators;
    char joiner;  // what goes between the old list and an item appended to it
    bool (*same)(std::string_view a, std::string_view b);
};

// load= and run= of Win.ini [windows], drivers= of System.ini [boot]: programs or drivers
// between blanks or commas, the same when their file names (without directory) are.
extern const ListRules kProgramList;
// PATH and SET values, in files and in the registry: items between semicolons, the same
// when they are without regard to case, blanks around them and a trailing backslash.
extern const ListRules kSemicolonList;

// Whether two program paths name the same file: file names without directory (and
// without enclosing quotes), compared without regard to case.
bool sameFileName(std::string_view a, std::string_view b);

bool listHas(std::string_view list, std::string_view item, const ListRules& rules);
// The list with the item appended, or as it is when an item the same is there already. An
// item appended is removed again by listWithout to give back the same text.
std::string listWith(std::string_view list, std::string_view item, const ListRules& rules);
// The list without any item the same as `item`: each goes with the separator before it
// (after it, for the first).
std::string listWithout(std::string_view list, std::string_view item, const ListRules& rules);
// Whether the list holds no item at all.
bool listEmpty(std::string_view list, const ListRules& rules);

}  // namespace kestrel::setup
