#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/CodePage.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

// Why the script a command line names cannot be loaded, found without a machine root: for
// a run on a prefix that does not exist yet, so that such a run fails as it would on the
// root (5501, 5502 with the script's Windows path through the default drives) but leaves
// no prefix behind. nullopt when the script loads, or when finding it needs the root (a
// name with %...%, a path on a drive other than Z:, a name with folders in it). The word is
// as the command line gave it (UTF-8); the error's path is installer text in `codePage`.
std::optional<ScriptLoadError> unloadableScript(const std::string& scriptWord,
                                                const std::filesystem::path& currentDirectory,
                                                const std::filesystem::path& programDirectory,
                                                const platform::CodePage& codePage);

}  // namespace kestrel::setup
