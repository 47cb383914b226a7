#include "platform/FolderWindow.h"

#include "platform/CommandLine.h"
#include "platform/Display.h"
#include "platform/Process.h"

namespace kestrel::platform {

Expected<void, std::string> openFolderWindow(const std::filesystem::path& folder) {
    if (!hasDisplay()) return unexpected(std::string("there is no display"));
    const StartError error = startProgram({joinCommandLine({"xdg-open", folder.string()})});
    if (error != StartError::None) {
        return unexpected("xdg-open cannot be started: " + std::string(startErrorText(error)));
    }
    return {};
}

}  // namespace kestrel::platform
