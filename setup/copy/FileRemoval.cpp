#include "copy/FileRemoval.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "messages/MessageStrings.h"
#include "platform/AsciiCase.h"
#include "platform/EmptyFolders.h"
#include "platform/FileAttributes.h"
#include "platform/JournaledFiles.h"

namespace kestrel::setup::copy {

namespace fs = std::filesystem;
using platform::ShellFolder;

namespace {

constexpr std::string_view kHelpSideExtensions[] = {".gid", ".fts", ".ftg"};

bool hasWildcard(std::string_view pattern) {
    return pattern.find_first_of("*?") != std::string_view::npos;
}

}  // namespace

bool refusedBySystem(const std::error_code& error) {
    const int code = error.value();
    return error.category() == std::generic_category() &&
           (code == EACCES || code == EPERM || code == EBUSY || code == ETXTBSY);
}

bool matchesWildcard(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") return true;
    // Greedy matching with one back-tracking point: the last '*' seen.
    std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || platform::asciiLower(pattern[p]) ==
                                                                   platform::asciiLower(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool FileRemoval::deleteFiles(std::string_view pattern, Direction direction) {
    const auto host = machine_.hostPath(pattern);
    if (!host) return true;
    return deleteHostFiles(*host, direction);
}

bool FileRemoval::deleteHostFiles(const fs::path& pattern, Direction direction) {
    return deleteMatching(pattern.parent_path(), pattern.filename().string(), direction);
}

// A name without wildcards is looked up among the folder's names, not matched against each
// entry in turn: removing the n files of one folder would read n² entries.
std::vector<fs::path> FileRemoval::filesMatching(const fs::path& folder,
                                                 std::string_view pattern) const {
    std::vector<fs::path> files;
    std::error_code ec;
    if (!hasWildcard(pattern)) {
        const platform::CaseFoldedNames* names = machine_.folderNames().names(folder);
        if (names == nullptr) return files;
        for (const std::string& name : names->matching(pattern)) {
            fs::path file = folder / name;
            if (!fs::is_directory(file, ec)) files.push_back(std::move(file));
        }
        return files;
    }
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_directory(typeError) &&
            matchesWildcard(pattern, it->path().filename().string()))
            files.push_back(it->path());
    }
    return files;
}

bool FileRemoval::deleteMatching(const fs::path& folder, std::string_view pattern,
                                 Direction direction) {
    for (const fs::path& file : filesMatching(folder, pattern)) {
        if (!deleteOne(file, direction)) return false;
        if (platform::equalsIgnoreAsciiCase(file.extension().string(), ".hlp") &&
            !deleteHelpSideFiles(file, direction)) {
            return false;
        }
    }
    return true;
}

bool FileRemoval::deleteOne(const fs::path& file, Direction direction) {
    (void)platform::setFileAttributes(file, 0);  // a read-only file goes too
    const bool atInstallation = direction == Direction::Install;
    std::error_code ec;
    if (!(atInstallation && inUse_.inUse(file)) && !(ec = platform::journaled::removeFile(file)))
        return true;
    if (!atInstallation || (ec && !refusedBySystem(ec))) return true;
    const std::string windowsPath = machine_.windowsPath(file);
    if (inUse_.scheduleAtRestart(windowsPath, std::nullopt)) return true;
    messages_.show(messages::kCannotDeleteFile, {windowsPath});
    run_.abort = true;
    return false;
}

bool FileRemoval::deleteHelpSideFiles(const fs::path& helpFile, Direction direction) {
    std::vector<fs::path> folders{helpFile.parent_path()};
    if (const auto help = machine_.hostPath(machine_.windowsDirectory() + "\\HELP")) {
        folders.push_back(*help);
    }
    const std::string stem = helpFile.stem().string();
    for (const fs::path& folder : folders) {
        for (const std::string_view extension : kHelpSideExtensions) {
            if (!deleteMatching(folder, stem + std::string(extension), direction)) return false;
        }
    }
    return true;
}

bool FileRemoval::isOwnPlace(const fs::path& directory) const {
    std::error_code ec;
    return std::ranges::any_of(machine_.keptFolders(), [&](const fs::path& kept) {
        return fs::equivalent(directory, kept, ec);
    });
}

void FileRemoval::removeEmptyDirectories(const fs::path& directory) {
    // Most removals leave other files in their folder: the kept places, dozens of path
    // lookups, are only worked out for a folder that could go.
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(directory, ec))) return;
    // From the folder's names, not a listing: that would read every file still in it.
    const platform::CaseFoldedNames* names = machine_.folderNames().names(directory);
    if (names == nullptr || !names->empty()) return;
    platform::removeEmptyFolders(directory, machine_.keptFolders());
}

void FileRemoval::removeTree(std::string_view directory) {
    const auto host = machine_.hostPath(directory);
    std::error_code ec;
    if (!host || !fs::is_directory(fs::symlink_status(*host, ec)) || isOwnPlace(*host)) return;
    (void)removeDirectoryTree(*host);
    removeEmptyDirectories(host->parent_path());
}

bool FileRemoval::removeDirectoryTree(const fs::path& directory) {
    std::error_code ec;
    // Read-only folders (no write bits) would keep what is in them.
    (void)platform::setFileAttributes(directory, 0);
    for (fs::recursive_directory_iterator it(directory, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
            (void)platform::setFileAttributes(it->path(), 0);
        }
    }
    (void)platform::journaled::removeTree(directory);
    return !fs::exists(fs::symlink_status(directory, ec));
}

}  // namespace kestrel::setup::copy
