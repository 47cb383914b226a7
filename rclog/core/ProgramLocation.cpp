#include "ProgramLocation.h"

#include <vector>

#include "FileIdentity.h"
#include "platform/FileChecks.h"
#include "platform/WineDrives.h"

namespace kestrel::rclog {

namespace {

// Joins `name` to `base` unless it is absolute, then drops empty and "." components.
std::string absoluteLexical(const std::filesystem::path& base, std::string_view name) {
    const std::string joined = (!name.empty() && name.front() == '/')
                                   ? std::string(name)
                                   : base.string() + "/" + std::string(name);
    std::string out;
    std::size_t begin = 0;
    while (begin < joined.size()) {
        std::size_t end = joined.find('/', begin);
        if (end == std::string::npos) end = joined.size();
        const std::string_view part(joined.data() + begin, end - begin);
        if (!part.empty() && part != ".") {
            out += '/';
            out += part;
        }
        begin = end + 1;
    }
    return out.empty() ? "/" : out;
}

std::vector<std::string_view> pathEntries(std::string_view searchPath) {
    std::vector<std::string_view> entries;
    std::size_t begin = 0;
    while (begin <= searchPath.size()) {
        const std::size_t end = std::min(searchPath.find(':', begin), searchPath.size());
        // An empty entry means the current directory, as it does to a shell.
        entries.push_back(end > begin ? searchPath.substr(begin, end - begin) : ".");
        begin = end + 1;
    }
    return entries;
}

}  // namespace

std::string ownProgramPath(std::string_view argv0, std::string_view executedFile,
                           const std::filesystem::path& currentDirectory,
                           std::string_view searchPath, const std::filesystem::path& runningFile) {
    std::vector<std::string> candidates;
    const bool bareName = argv0.find('/') == std::string_view::npos;
    if (!bareName) candidates.push_back(absoluteLexical(currentDirectory, argv0));
    if (!executedFile.empty())
        candidates.push_back(absoluteLexical(currentDirectory, executedFile));
    if (bareName && !argv0.empty()) {
        for (std::string_view entry : pathEntries(searchPath)) {
            const std::string candidate =
                absoluteLexical(currentDirectory, std::string(entry) + "/" + std::string(argv0));
            if (platform::isExecutableFile(candidate)) {
                candidates.push_back(candidate);
                break;
            }
        }
    }
    if (runningFile.empty()) {
        return candidates.empty() ? absoluteLexical(currentDirectory, argv0) : candidates.front();
    }
    for (const std::string& candidate : candidates) {
        if (sameFile(candidate, runningFile)) return candidate;
    }
    return runningFile.string();
}

ProgramLocation splitProgramPath(const std::string& path) {
    ProgramLocation location;
    location.path = path;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "/" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

    location.drive = platform::WineDrives().driveHolding(folder);
    location.directory = folder.substr(location.drive.size());
    const std::size_t dot = name.rfind('.');
    location.baseName = name.substr(0, dot);
    if (dot != std::string::npos) location.extension = name.substr(dot);
    return location;
}

}  // namespace kestrel::rclog
