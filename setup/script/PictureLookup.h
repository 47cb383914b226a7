// Where the script's picture (and sound) files are looked for.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WindowsPathMap.h"
#include "script/BuiltinVariables.h"
#include "script/RunState.h"

namespace kestrel::setup {

// The Windows directories a relative name is tried in, in order: the script's directory
// (the current one while the run lasts), the directory current when the program started,
// Src, and for new instances, uninstallation, repeat, maintenance and per-user parts App
// followed by SetupInfDir.
std::vector<std::string> pictureDirectories(const BuiltinVariables& variables, const RunState& run,
                                            const std::string& startDirectory);

// The host file of a name: an absolute name (with a colon or a leading backslash) as it is,
// a relative one in the first directory that has it; nullopt when none has.
std::optional<std::filesystem::path> findPictureFile(std::string_view name,
                                                     const std::vector<std::string>& directories,
                                                     const platform::WindowsPathMap& paths);

}  // namespace kestrel::setup
