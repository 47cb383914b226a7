#include "program/ScriptPrecheck.h"

#include "platform/AsciiCase.h"
#include "platform/FileChecks.h"
#include "platform/WineDrives.h"

namespace kestrel::setup {

namespace fs = std::filesystem;

namespace {

// The file `name` in a host directory, matched without regard to case as the root does.
std::optional<fs::path> findIn(const fs::path& directory, const std::string& name) {
    if (directory.empty()) return std::nullopt;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        if (platform::equalsIgnoreAsciiCase(it->path().filename().string(), name) &&
            platform::isRegularFile(it->path()))
            return it->path();
    }
    return std::nullopt;
}

// The host file the name stands for as the root would find it, or nullopt when only the
// root can tell.
std::optional<fs::path> hostFileOf(const std::string& name, const fs::path& currentDirectory,
                                   const fs::path& programDirectory) {
    if (name.find('%') != std::string::npos) return std::nullopt;
    if (name[0] == '/') return fs::path(name);
    if (name.size() >= 2 && (name[0] == 'Z' || name[0] == 'z') && name[1] == ':' &&
        name.find(':', 2) == std::string::npos) {
        std::string host = "/" + name.substr(2);
        for (char& c : host)
            if (c == '\\') c = '/';
        return fs::path(host).lexically_normal();
    }
    if (name.find_first_of(":\\/") != std::string::npos) return std::nullopt;
    if (auto found = findIn(currentDirectory, name)) return found;
    if (auto found = findIn(programDirectory, name)) return found;
    return currentDirectory / name;
}

}  // namespace

std::optional<ScriptLoadError> unloadableScript(const std::string& scriptWord,
                                                const fs::path& currentDirectory,
                                                const fs::path& programDirectory,
                                                const platform::CodePage& codePage) {
    const std::string name = scriptWord.empty() ? "Setup.inf" : scriptWord;
    const auto host = hostFileOf(name, currentDirectory, programDirectory);
    if (!host) return std::nullopt;
    auto loaded = ScriptText::load(*host, codePage.fromUtf8(platform::windowsPathOf(*host)));
    if (loaded) return std::nullopt;
    return loaded.error();
}

}  // namespace kestrel::setup
