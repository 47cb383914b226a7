#include "ops/FileChange.h"

#include <algorithm>
#include <vector>

#include "platform/FileAttributes.h"
#include "platform/JournaledFiles.h"

namespace kestrel::setup {

namespace fs = std::filesystem;

bool changeKeepingAttributes(const fs::path& file, const std::function<bool()>& change) {
    std::error_code error;
    if (!fs::is_regular_file(file, error)) return change();
    const std::uint32_t attributes = platform::fileAttributes(file);
    if ((attributes & platform::dosattr::kReadOnly) &&
        !platform::setFileAttributes(file, attributes & ~platform::dosattr::kReadOnly)) {
        return false;
    }
    const bool changed = change();
    if (!fs::exists(file, error)) return changed;
    return platform::setFileAttributes(file, attributes).has_value() && changed;
}

namespace {

fs::path normal(const fs::path& path) {
    fs::path result = path.lexically_normal();
    return result.has_filename() ? result : result.parent_path();
}

}  // namespace

void removeEmptyFolders(const platform::MachineRoot& machine, fs::path folder) {
    const auto drive = machine.hostPath("C:\\");
    if (!drive) return;
    std::vector<fs::path> kept;
    for (const std::string& system :
         {machine.windowsDirectory(), machine.systemDirectory(), machine.programFilesDirectory(),
          std::string("C:\\Program Files"), machine.programFilesDirectory() + "\\Common Files",
          std::string("C:\\Program Files\\Common Files"), std::string("C:\\users"),
          machine.profileDirectory()}) {
        if (auto path = machine.hostPath(system)) kept.push_back(normal(*path));
    }
    const fs::path root = normal(*drive);
    for (folder = normal(folder); folder.has_relative_path(); folder = folder.parent_path()) {
        const fs::path inside = folder.lexically_relative(root);
        if (inside.empty() || inside == "." || *inside.begin() == "..") return;
        if (std::ranges::find(kept, folder) != kept.end()) return;
        if (platform::journaled::removeFolder(folder)) return;  // not empty, or not ours
    }
}

}  // namespace kestrel::setup
