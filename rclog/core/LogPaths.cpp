#include "LogPaths.h"

#include <algorithm>

#include "Settings.h"
#include "platform/WineDrives.h"

namespace kestrel::rclog {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// The log directory as written (program drive and directory put in front as the form says),
// and the host directory it stands for.
struct Directory {
    std::string composed;
    std::string host;
};

Directory logDirectory(const ProgramLocation& location, const std::string& home) {
    if (home == kUnsetLogHome) return {location.programDirectory(), location.programDirectory()};
    std::string text = home;
    std::replace(text.begin(), text.end(), '\\', '/');
    const platform::WineDrives drives;
    if (text.size() >= 2 && text[0] == '/' && text[1] == '/')
        return {home, drives.uncFolder().string() + "/" + text.substr(2)};
    if (text.size() >= 2 && text[1] == ':') {
        const std::size_t rest = std::min(text.find_first_not_of('/', 2), text.size());
        return {home, drives.driveLink(text[0]).string() + "/" + text.substr(rest)};
    }
    if (!text.empty() && text[0] == '/') return {location.drive + home, location.drive + text};
    return {location.programDirectory() + home, location.programDirectory() + text};
}

}  // namespace

LogPaths logPathsFor(const ProgramLocation& location, const std::string& logFileHome) {
    const Directory dir = logDirectory(location, logFileHome);
    const bool joined = !dir.composed.empty() && isSeparator(dir.composed.back());
    const std::string separator = joined ? "" : "/";
    if (dir.composed.size() + separator.size() + std::string_view(kStartLogName).size() >
        kLogPathLimit)
        return {};
    const std::string prefix = dir.host + (!dir.host.empty() && dir.host.back() == '/' ? "" : "/");
    return {prefix + kStartLogName, prefix + kSessionLogName};
}

}  // namespace kestrel::rclog
