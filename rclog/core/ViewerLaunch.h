// Starting the real viewer. The logger is installed under the viewer's name, so a viewer that
// is a logger itself (a second install made by copying, an old logger renamed) would start
// the next logger, and that one the next, without end. Such a viewer is refused when it is
// this very program or a copy of it. Any other logger learns from its environment which file
// was started as a viewer; when that is its own file it refuses to go on. A logger that the
// real viewer starts later (another session opened from it) is another file and runs.
#pragma once

#include <filesystem>
#include <string>

#include "platform/Expected.h"

namespace kestrel::rclog {

// Holds the path of the viewer a logger started.
inline constexpr const char* kViewerMarker = "QUILLBOX_VIEWER";

// True when a logger started `program` (this process's own file) as its viewer.
bool startedAsViewer(const std::filesystem::path& program);

// Starts `viewer` with `commandLine` and waits until it ends. The viewer's exit code, or why
// it did not start. `logger` is this program's own file.
platform::Expected<int, std::string> runViewer(const std::filesystem::path& viewer,
                                               const std::string& commandLine,
                                               const std::filesystem::path& logger);

}  // namespace kestrel::rclog
