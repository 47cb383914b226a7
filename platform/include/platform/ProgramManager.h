#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DdeCommands.h"
#include "platform/Expected.h"
#include "platform/MachineRoot.h"

namespace kestrel::platform {

// Why a program-manager command did not execute.
struct ProgramManagerError {
    enum class Kind {
        BadCommand,  // the text is no command string, or names an unknown command or bad arguments
        NotFound,    // the group or item it names does not exist (or no group is selected)
        Failed,      // the folder or link could not be made or removed
    };
    Kind kind = Kind::Failed;
    std::string message;
};

// The program manager of a machine root, as Windows programs talk to it through DDE
// execute strings: groups are folders of links in the root's programs folder (the
// all-users one for common groups), items the links in them. That is how Wine's shell keeps
// them, so what a script puts here shows in Wine's start menu.
//
// Commands (names without case; the argument lists of the program manager's own syntax):
//   CreateGroup(name[,common])  makes the group if missing and selects it
//   ShowGroup(name,show[,common])  selects an existing group (and shows its folder)
//   AddItem(command line[,name[,icon file[,icon index[,x,y[,directory[,hot key[,minimize]]]]]]])
//   ReplaceItem(name)  removes the item from the selected group, when it is there
//   DeleteItem(name)   removes the item from the selected group
//   DeleteGroup(name[,common])  removes the group with its items
//   ExitProgman(...), Reload(...)  accepted, nothing to do
// "common" is the number 1 for the all-users groups; any other text (such as a group file
// name) means the user's. Group names are folder names below the programs folder, nested
// with backslashes; names that could leave it ("..", drives, characters Windows forbids in
// file names) are refused.
//
// Texts are installer text: bytes in the root's ANSI code page.
class ProgramManager {
  public:
    // The Windows path of a program given by a bare name, from the root's search path.
    using ProgramLookup = std::function<std::optional<std::string>(std::string_view name)>;
    // Shows a group's folder to the person.
    using FolderShow = std::function<void(const std::filesystem::path& folder)>;

    ProgramManager(const MachineRoot& root, ProgramLookup findProgram, FolderShow showFolder = {});

    // Executes the commands of an execute string in order; the first failure ends it.
    // A string that does not parse executes nothing.
    Expected<void, ProgramManagerError> execute(std::string_view commands);

    // Whether the group exists and holds nothing.
    bool groupIsEmpty(std::string_view name, bool common = false) const;

  private:
    struct Group {
        std::filesystem::path folder;
        std::filesystem::path programs;  // the programs folder it lies in
    };

    Expected<void, ProgramManagerError> run(const DdeCommand& command);
    Expected<Group, ProgramManagerError> group(std::string_view name, bool common) const;
    Expected<void, ProgramManagerError> createGroup(const DdeCommand& command);
    Expected<void, ProgramManagerError> showGroup(const DdeCommand& command);
    Expected<void, ProgramManagerError> deleteGroup(const DdeCommand& command);
    Expected<void, ProgramManagerError> addItem(const DdeCommand& command);
    Expected<void, ProgramManagerError> deleteItem(const DdeCommand& command, bool mustExist);
    Expected<std::filesystem::path, ProgramManagerError> itemFile(std::string_view name) const;
    // The target of an item's command line and the arguments behind it.
    std::pair<std::string, std::string> splitItemCommand(std::string_view commandLine) const;
    // The full path of a program named with or without a directory part; nullopt when
    // there is no such file.
    std::optional<std::string> findTarget(std::string_view target) const;

    const MachineRoot& root_;
    ProgramLookup findProgram_;
    FolderShow showFolder_;
    std::optional<Group> selected_;  // the group items go to
};

}  // namespace kestrel::platform
