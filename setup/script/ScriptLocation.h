#pragma once

#include <filesystem>
#include <string>

#include "platform/WindowsPathMap.h"
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
// The word and the Windows path are installer text (the code page of `paths`), the host
// file UTF-8.
ScriptLocation locateScript(const std::string& word, const platform::WindowsPathMap& paths,
                            const std::filesystem::path& currentDirectory,
                            const std::filesystem::path& programDirectory,
                            const Expander& expander);

// Whether finding the script a word names needs the machine root itself, not only the
// drives every new root has (C: and Z:): for variables in the name or another drive.
bool scriptSearchNeedsRoot(std::string_view word);

// The directory of a Windows path, with a trailing backslash.
std::string windowsDirectoryOf(std::string_view path);

}  // namespace kestrel::setup
