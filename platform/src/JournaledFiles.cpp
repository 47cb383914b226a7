#include "platform/JournaledFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/ChangeJournal.h"

namespace kestrel::platform::journaled {

namespace fs = std::filesystem;

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

}  // namespace

void beforeChange(const fs::path& path, bool inPlace) {
    if (ChangeJournal* journal = activeJournal())
        journal->beforeFileChange(
            path, inPlace ? ChangeJournal::Write::InPlace : ChangeJournal::Write::Whole);
}

std::error_code rename(const fs::path& from, const fs::path& to) {
    if (ChangeJournal* journal = activeJournal()) {
        journal->beforeFileChange(from);
        journal->beforeFileChange(to);
    }
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : lastError();
}

std::error_code removeFile(const fs::path& path) {
    beforeChange(path);
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return {};
    return lastError();
}

std::error_code createFolders(const fs::path& path) {
    if (ChangeJournal* journal = activeJournal()) journal->beforeFoldersMade(path);
    std::error_code error;
    fs::create_directories(path, error);
    return error;
}

std::error_code removeFolder(const fs::path& path) {
    if (ChangeJournal* journal = activeJournal()) journal->beforeFolderRemoved(path);
    return ::rmdir(path.c_str()) == 0 ? std::error_code() : lastError();
}

std::error_code removeTree(const fs::path& path) {
    if (ChangeJournal* journal = activeJournal()) {
        // Everything in it is written down, deepest first, as it will go.
        std::vector<fs::path> folders{path};
        std::error_code error;
        for (auto entry = fs::recursive_directory_iterator(path, error);
             !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
            if (entry->is_directory(error) && !entry->is_symlink(error)) {
                folders.push_back(entry->path());
            } else {
                journal->beforeFileChange(entry->path());
            }
        }
        for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
            journal->beforeFolderRemoved(*folder);
    }
    std::error_code error;
    fs::remove_all(path, error);
    return error;
}

}  // namespace kestrel::platform::journaled
