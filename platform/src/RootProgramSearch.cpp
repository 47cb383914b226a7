#include "platform/RootProgramSearch.h"

#include <vector>

#include "platform/Registry.h"
#include "platform/RegistryValue.h"

namespace kestrel::platform {
namespace {

constexpr std::string_view kEnvironment =
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

// The root's PATH, split at semicolons, empty parts left out.
std::vector<std::string> rootPath(const MachineRoot& root) {
    RegistryValue value;
    if (root.registry().queryValue(RegistryRoot::LocalMachine, kEnvironment, "PATH", &value) != 0) {
        return {};
    }
    const std::string path =
        ansiCodePage(root.registry()).fromUtf8(root.expandRootEnvironment(value.textValue()));
    std::vector<std::string> directories;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(';', start), path.size());
        if (end > start) directories.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return directories;
}

std::optional<std::string> existingFile(const MachineRoot& root, std::string_view windowsPath) {
    const auto host = root.hostPath(windowsPath);
    std::error_code error;
    if (!host || !std::filesystem::is_regular_file(*host, error)) return std::nullopt;
    return root.windowsPath(*host);
}

std::string inDirectory(std::string directory, std::string_view name) {
    if (!directory.empty() && directory.back() != '\\') directory += '\\';
    return directory.append(name);
}

}  // namespace

std::optional<std::string> findOnRootSearchPath(const MachineRoot& root, std::string_view name,
                                                std::string_view applicationDirectory,
                                                std::string_view currentDirectory) {
    if (name.empty()) return std::nullopt;
    if (name.find_first_of("\\/:") != std::string_view::npos) return existingFile(root, name);

    std::vector<std::string> directories;
    if (!applicationDirectory.empty()) directories.emplace_back(applicationDirectory);
    directories.push_back(root.systemDirectory());
    directories.push_back(root.windowsDirectory() + "\\system");
    directories.push_back(root.windowsDirectory());
    if (!currentDirectory.empty()) directories.emplace_back(currentDirectory);
    for (std::string& directory : rootPath(root)) directories.push_back(std::move(directory));

    for (const std::string& directory : directories) {
        if (auto found = existingFile(root, inDirectory(directory, name))) return found;
    }
    return std::nullopt;
}

}  // namespace kestrel::platform
