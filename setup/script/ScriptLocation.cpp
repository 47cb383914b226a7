#include "script/ScriptLocation.h"

#include "platform/AsciiCase.h"
#include "platform/FileChecks.h"
#include "platform/WindowsPathParts.h"

namespace kestrel::setup {

namespace fs = std::filesystem;

namespace {

// The file `name` in a host directory, its components matched without regard to case.
std::optional<fs::path> findIn(const platform::WindowsPathMap& paths, const fs::path& directory,
                               const std::string& name) {
    if (directory.empty()) return std::nullopt;
    const auto host = paths.hostPath(paths.windowsPath(directory) + "\\" + name);
    if (host && platform::isRegularFile(*host)) return host;
    return std::nullopt;
}

}  // namespace

std::string windowsDirectoryOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('\\');
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(0, slash + 1));
}

bool scriptSearchNeedsRoot(std::string_view word) {
    if (word.find('%') != std::string_view::npos) return true;
    const platform::WindowsPathParts parts = platform::splitWindowsPath(word);
    if (parts.drive.size() != 2) return !parts.drive.empty();  // \\server\share
    const char letter = platform::asciiUpper(parts.drive[0]);
    return letter != 'C' && letter != 'Z';
}

ScriptLocation locateScript(const std::string& word, const platform::WindowsPathMap& paths,
                            const fs::path& currentDirectory, const fs::path& programDirectory,
                            const Expander& expander) {
    const std::string name = word.empty() ? "Setup.inf" : expander.expand(word);
    const platform::CodePage& codePage = paths.codePage();
    ScriptLocation location;
    if (!name.empty() && name[0] == '/') {
        location.host = codePage.toUtf8(name);
    } else if (name.find(':') != std::string::npos || (!name.empty() && name[0] == '\\')) {
        location.host = paths.hostPath(name).value_or(fs::path());
        location.windows = name;
    } else if (auto found = findIn(paths, currentDirectory, name)) {
        location.host = *found;
    } else if (auto inProgram = findIn(paths, programDirectory, name)) {
        location.host = *inProgram;
    } else {
        location.host = currentDirectory / codePage.toUtf8(name);
    }
    // Normalised as the shell would; a path no drive reaches stays as it was written.
    if (!location.host.empty()) location.windows = paths.windowsPath(location.host);
    return location;
}

}  // namespace kestrel::setup
