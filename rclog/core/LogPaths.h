// Where the two logs lie: the program's directory, or the directory LogFileHome names.
//
// LogFileHome forms ('/' and '\' both separate, as they do on Windows):
//   "\\server\share\logs"  network path: <prefix>/dosdevices/unc/server/share/logs
//   "D:\logs"              drive given:  <prefix>/dosdevices/d:/logs
//   "\logs"                root of the program's drive: drive + "/logs"
//   "logs"                 relative: the program's directory + "logs"
#pragma once

#include <filesystem>

#include "ProgramLocation.h"

namespace kestrel::rclog {

inline constexpr const char* kStartLogName = "Quillbox.CS0";
inline constexpr const char* kSessionLogName = "Quillbox.CSV";
// Longest log path, counted on the path as composed before drive letters and network paths
// are mapped to the host.
inline constexpr std::size_t kLogPathLimit = 503;

struct LogPaths {
    // Both empty when no log can be named (a path past the limit): opening then fails.
    std::filesystem::path startLog;
    std::filesystem::path sessionLog;
};

LogPaths logPathsFor(const ProgramLocation& location, const std::string& logFileHome);

}  // namespace kestrel::rclog
