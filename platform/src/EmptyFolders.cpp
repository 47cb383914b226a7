#include "platform/EmptyFolders.h"

#include "platform/JournaledFiles.h"

#include <algorithm>

namespace kestrel::platform {

namespace fs = std::filesystem;

void removeEmptyFolders(const fs::path& folder, const std::vector<fs::path>& kept) {
    std::error_code ec;
    fs::path start = folder.lexically_normal();
    if (!start.has_filename()) start = start.parent_path();  // "a/b/" is "a/b"
    for (fs::path current = start; current.has_relative_path(); current = current.parent_path()) {
        if (fs::is_symlink(current, ec) || !fs::is_directory(current, ec)) return;
        const bool isKept = std::any_of(kept.begin(), kept.end(), [&](const fs::path& keep) {
            std::error_code ignored;
            return fs::equivalent(current, keep, ignored);
        });
        if (isKept || !fs::is_empty(current, ec) || ec) return;
        if (journaled::removeFolder(current)) return;
    }
}

}  // namespace kestrel::platform
