#include "ops/LinkTarget.h"

#include <filesystem>

#include "platform/WindowsPathText.h"

namespace kestrel::setup {

namespace fs = std::filesystem;

LinkTarget resolveLinkTarget(const LinkEntry& entry, const platform::MachineRoot& machine,
                             const ProgramLookup& findProgram) {
    LinkTarget result{entry.target, entry.workingDirectory, entry.iconFile, false,
                      entry.target.find_first_of("\\:") != std::string::npos};
    std::error_code ec;
    const auto host = result.hasDirectoryPart ? machine.hostPath(entry.target) : std::nullopt;
    if (host && fs::is_directory(*host, ec)) {
        result.found = true;
        return result;
    }
    std::optional<std::string> found;
    if (host && fs::exists(*host, ec)) {
        found = entry.target;
    } else if (!result.hasDirectoryPart && !entry.target.empty() && findProgram) {
        found = findProgram(entry.target);
    }
    if (found) {
        result.found = true;
        result.target = *found;
        if (result.workingDirectory.empty())
            result.workingDirectory = platform::directoryPartKeepingRoot(*found);
    }
    if (result.iconFile.empty() && entry.iconIndex) result.iconFile = result.target;
    return result;
}

}  // namespace kestrel::setup
