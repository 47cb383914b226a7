#include "ops/LinkTarget.h"

#include <filesystem>

namespace kestrel::setup {

namespace fs = std::filesystem;

namespace {

// "C:\Acme\edit.exe" lies in "C:\Acme", "C:\edit.exe" in "C:\".
std::string directoryOf(std::string_view path) {
    const std::size_t backslash = path.find_last_of('\\');
    if (backslash == std::string_view::npos) return {};
    if (backslash == 2 && path[1] == ':') return std::string(path.substr(0, 3));
    return std::string(path.substr(0, backslash));
}

}  // namespace

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
        if (result.workingDirectory.empty()) result.workingDirectory = directoryOf(*found);
    }
    if (result.iconFile.empty() && entry.iconIndex) result.iconFile = result.target;
    return result;
}

}  // namespace kestrel::setup
