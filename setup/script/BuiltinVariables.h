#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::setup {

// The installer's built-in variables (SetupInf, App, Src, Windows, Desktop...): a fixed set
// of names compared without case, each a text of at most 255 characters (80 for User and
// Company). Set values are cut to that length; unknown names are refused.
class BuiltinVariables {
  public:
    BuiltinVariables();

    bool has(std::string_view name) const;
    // nullopt for a name that is not a built-in variable; an unset one is "".
    std::optional<std::string> get(std::string_view name) const;
    std::string value(std::string_view name) const { return get(name).value_or(""); }
    bool set(std::string_view name, std::string_view value);
    // Sets a directory with exactly one trailing backslash ("" stays "").
    bool setDirectory(std::string_view name, std::string_view directory);
    // Whether the variable names a place: a directory (Src, App, Windows, the shell
    // folders...) or the script's own path. Such a value is one path, blanks and all.
    static bool holdsPlace(std::string_view name);

  private:
    struct Entry {
        std::string_view name;
        std::size_t capacity;
        std::string value;
    };
    Entry* find(std::string_view name);
    const Entry* find(std::string_view name) const;

    std::vector<Entry> entries_;
};

// A directory with exactly one trailing backslash, or "" for "".
std::string withTrailingBackslash(std::string_view directory);

}  // namespace kestrel::setup
