#pragma once

#include <filesystem>
#include <string>

#include "platform/MachineRoot.h"
#include "script/Expander.h"

namespace kestrel::setup {

struct ScriptLocation {
    std::filesystem::path host;
    std::string windows;  // as the installer names it (SetupInf)
};

// Finds the script a command-line word names (variables in it expanded): a Windows path
// (with a colon or a leading backslash) is taken as it is, a host path beginning with "/" as
// well; any other name is looked for in the current directory, then in the program's own.
// Without a word, Setup.inf is looked for the same way. Names match without regard to case.
// The word and the Windows path are installer text (the root's code page), the host file
// UTF-8.
ScriptLocation locateScript(const std::string& word, const platform::MachineRoot& machine,
                            const std::filesystem::path& currentDirectory,
                            const std::filesystem::path& programDirectory,
                            const Expander& expander);

// The directory of a Windows path, with a trailing backslash.
std::string windowsDirectoryOf(std::string_view path);

}  // namespace kestrel::setup
