#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "script/ScriptText.h"

namespace kestrel::setup {

// Why the script a command line names cannot be loaded, found without a machine root: for
// a run on a prefix that does not exist yet, so that such a run fails as it would on the
// root (5501, 5502 with the script's Windows path through the default drives) but leaves
// no prefix behind. nullopt when the script loads, or when finding it needs the root (a
// name with %...%, a path on a drive other than Z:, a name with folders in it).
std::optional<ScriptLoadError> unloadableScript(const std::string& scriptWord,
                                                const std::filesystem::path& currentDirectory,
                                                const std::filesystem::path& programDirectory);

}  // namespace kestrel::setup
