#include "script/PictureLookup.h"

#include "platform/FileChecks.h"
#include "script/ScriptLocation.h"

namespace kestrel::setup {

std::vector<std::string> pictureDirectories(const BuiltinVariables& variables, const RunState& run,
                                            const std::string& startDirectory) {
    std::vector<std::string> directories = {windowsDirectoryOf(variables.value("SetupInf")),
                                            startDirectory, variables.value("Src")};
    if (run.newInstance || run.uninstall || run.repeat || run.maintenance || run.perUserPart)
        directories.push_back(withTrailingBackslash(variables.value("App")) +
                              variables.value("SetupInfDir"));
    return directories;
}

std::optional<std::filesystem::path> findPictureFile(std::string_view name,
                                                     const std::vector<std::string>& directories,
                                                     const platform::WindowsPathMap& paths) {
    const auto existing = [&](std::string_view base) -> std::optional<std::filesystem::path> {
        auto host = paths.hostPath(name, base);
        if (host && platform::isRegularFile(*host)) return host;
        return std::nullopt;
    };
    if (name.empty()) return std::nullopt;
    if (name.find(':') != std::string_view::npos || name.front() == '\\') return existing({});
    for (const std::string& directory : directories) {
        if (directory.empty()) continue;
        if (auto found = existing(directory)) return found;
    }
    return std::nullopt;
}

}  // namespace kestrel::setup
