#pragma once

#include <string>
#include <string_view>

namespace kestrel::setup {

// The execute strings the installer sends the program manager. Each value goes in as the
// program manager's syntax carries it (platform::ddeArgument): ordinary names and paths as
// they are, one with a comma, bracket, parenthesis or quote in double quotes.

// "[CreateGroup(%s)]" with the Group value: the name and, after a comma, the group file.
std::string createGroupCommand(std::string_view groupValue);
// "[ShowGroup(%s,1)]"
std::string showGroupCommand(std::string_view group);
// "[ReplaceItem(%s)]"
std::string replaceItemCommand(std::string_view item);
// "[DeleteItem(%s)]"
std::string deleteItemCommand(std::string_view item);
// "[DeleteGroup(%s)]"
std::string deleteGroupCommand(std::string_view group);

// What an AddItem command says about the item.
struct ProgmanItem {
    std::string target;
    std::string arguments;
    std::string name;
    std::string iconFile;
    int iconIndex = 0;
    std::string workingDirectory;
    int hotKey = 0;
    bool minimized = false;  // the show command 7
};
// "[AddItem(%s)]" with "%s,%s,%s,%d,,,%s,%d,%d": command line (the target, then a blank
// and the arguments when there are any), name, icon file, icon index, two empty position
// fields, working directory, hot key, minimized.
std::string addItemCommand(const ProgmanItem& item);

// The group name of a Group value (the part before its comma).
std::string groupNameOf(std::string_view groupValue);
// Startup, Autostart, Main and Hauptgruppe: groups of the system, never deleted.
bool isSystemGroup(std::string_view group);

}  // namespace kestrel::setup
