#include "ViewerLaunch.h"

#include <cstdlib>

#include "FileIdentity.h"
#include "platform/Process.h"

namespace kestrel::rclog {

namespace {

std::string reason(platform::StartError error) {
    switch (error) {
        case platform::StartError::FileNotFound:
            return "The file does not exist.";
        case platform::StartError::PathNotFound:
            return "Its directory does not exist.";
        case platform::StartError::AccessDenied:
            return "It may not be run (no permission, or it is busy).";
        case platform::StartError::BadFormat:
            return "It is not a program this system can run.";
        case platform::StartError::OutOfResources:
        case platform::StartError::None:
            break;
    }
    return "The system could not start it.";
}

}  // namespace

bool startedAsViewer(const std::filesystem::path& program) {
    const char* viewer = std::getenv(kViewerMarker);
    return viewer != nullptr && sameFile(viewer, program);
}

platform::Expected<int, std::string> runViewer(const std::filesystem::path& viewer,
                                               const std::string& commandLine,
                                               const std::filesystem::path& logger) {
    if (sameFile(viewer, logger) || sameContent(viewer, logger))
        return platform::unexpected(
            std::string("It is this logger or a copy of it, not the viewer: starting it would "
                        "start the logger again."));
    platform::StartRequest request{commandLine, viewer};
    request.environment = {std::string(kViewerMarker) + "=" + viewer.string()};
    const platform::RunResult run = platform::runProgram(request);
    if (run.error != platform::StartError::None) return platform::unexpected(reason(run.error));
    return run.exitCode;
}

}  // namespace kestrel::rclog
