#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ops/LinkLine.h"
#include "platform/MachineRoot.h"
#include "platform/ProgramManager.h"

namespace kestrel::setup {

using ProgramLookup = platform::ProgramManager::ProgramLookup;

// What a link points at once its target has been looked for.
struct LinkTarget {
    std::string target;            // its full path when it was found
    std::string workingDirectory;  // field 4, else the directory it was found in
    std::string iconFile;          // field 6, else the target when an icon index is given
    bool found = false;            // an existing file or directory
    bool hasDirectoryPart = false;
};

// Looks for the entry's target: a path with a directory part on the root, a bare name
// through `findProgram`. An existing directory is taken as it is, without defaults.
LinkTarget resolveLinkTarget(const LinkEntry& entry, const platform::MachineRoot& machine,
                             const ProgramLookup& findProgram);

}  // namespace kestrel::setup
