#include "ProgramSearch.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/AsciiCase.h"
#include "platform/FileChecks.h"
#include "platform/Places.h"
#include "platform/WineDrives.h"

namespace kestrel::platform {

namespace {

namespace fs = std::filesystem;

// A candidate program: anything but a folder (one that cannot be run fails when started).
bool isFile(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return !ec && fs::exists(status) && !fs::is_directory(status);
}

// Exact spelling first; otherwise the case-insensitive match that sorts first, so that the
// choice does not depend on the order the directory happens to list its entries in.
std::optional<fs::path> matchInDirectory(const fs::path& dir, const std::string& fileName) {
    if (isFile(dir / fileName)) return dir / fileName;
    std::error_code ec;
    std::optional<fs::path> best;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path candidate = it->path();
        if (!equalsIgnoreAsciiCase(candidate.filename().string(), fileName)) continue;
        if (!isFile(candidate)) continue;
        if (!best || candidate.filename() < best->filename()) best = candidate;
    }
    return best;
}

// A Windows name with no '.' in its last component gets ".exe" tried as well.
std::optional<fs::path> findInDirectory(const fs::path& dir, const std::string& fileName) {
    if (fileName.empty() || !isDirectory(dir)) return std::nullopt;
    if (auto found = matchInDirectory(dir, fileName)) return found;
    if (fileName.find('.') == std::string::npos) return matchInDirectory(dir, fileName + ".exe");
    return std::nullopt;
}

bool hasDrive(std::string_view name) {
    return name.size() >= 2 && name[1] == ':' &&
           ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

bool hasDirectoryPart(std::string_view name) {
    return hasDrive(name) || name.find_first_of("/\\") != std::string_view::npos;
}

// Windows separators become host ones; "X:" goes through the Wine prefix's drive link,
// dosdevices/x:, the way Wine itself maps drives.
fs::path hostPathForProgram(std::string_view name) {
    std::string path(name);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    if (hasDrive(path)) {
        const std::size_t rest = path.find_first_not_of('/', 2);
        const fs::path root = WineDrives().driveLink(path[0]);
        return rest == std::string::npos ? root : root / path.substr(rest);
    }
    return path;
}

// The entries of $PATH; an empty entry (the current directory) is left out, as callers
// either search the current directory already or want host programs only.
std::vector<fs::path> pathDirectories() {
    std::vector<fs::path> dirs;
    const char* path = std::getenv("PATH");
    if (path == nullptr) return dirs;
    const std::string_view list(path);
    std::size_t begin = 0;
    while (begin <= list.size()) {
        const std::size_t end = std::min(list.find(':', begin), list.size());
        if (end > begin) dirs.emplace_back(list.substr(begin, end - begin));
        begin = end + 1;
    }
    return dirs;
}

std::vector<fs::path> searchDirectories(const StartRequest& request) {
    std::vector<fs::path> dirs;
    dirs.push_back(request.programDirectory.value_or(programDirectory()));
    std::error_code ec;
    if (fs::path cwd = fs::current_path(ec); !ec) dirs.push_back(cwd);
    for (fs::path& dir : pathDirectories()) dirs.push_back(std::move(dir));
    return dirs;
}

// A program given with its directory: a missing directory and a missing file are told apart.
LocatedProgram locateAt(const fs::path& path, bool tryExe) {
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (!isDirectory(dir)) return {StartError::PathNotFound, {}};
    const std::string fileName = path.filename().string();
    std::optional<fs::path> found =
        tryExe ? findInDirectory(dir, fileName) : matchInDirectory(dir, fileName);
    if (!found) return {StartError::FileNotFound, {}};
    std::error_code ec;
    return {StartError::None, fs::absolute(*found, ec)};
}

}  // namespace

std::optional<fs::path> findProgram(std::string_view name,
                                    const std::vector<fs::path>& directories) {
    const fs::path relative(name);
    const std::string fileName = relative.filename().string();
    for (const fs::path& dir : directories) {
        if (dir.empty()) continue;
        if (auto found = findInDirectory(dir / relative.parent_path(), fileName)) return found;
    }
    return std::nullopt;
}

LocatedProgram locateProgram(const StartRequest& request, std::string_view programName) {
    // An explicit application is taken as named: no search, no ".exe" added.
    if (request.application) return locateAt(*request.application, false);
    if (programName.empty()) return {StartError::FileNotFound, {}};
    if (hasDirectoryPart(programName)) return locateAt(hostPathForProgram(programName), true);

    auto found = findProgram(programName, searchDirectories(request));
    if (!found) return {StartError::FileNotFound, {}};
    std::error_code ec;
    return {StartError::None, fs::absolute(*found, ec)};
}

std::optional<fs::path> findOnPath(std::string_view name) {
    for (const fs::path& dir : pathDirectories()) {
        const fs::path candidate = dir / name;
        if (!isExecutableFile(candidate)) continue;
        std::error_code ec;
        return fs::absolute(candidate, ec);
    }
    return std::nullopt;
}

}  // namespace kestrel::platform
