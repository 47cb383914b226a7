#include "ops/LinkServices.h"

#include "platform/Display.h"
#include "platform/FolderWindow.h"

namespace kestrel::setup {

platform::Expected<void, std::string> LinkServices::openOnDisplay(
    const std::filesystem::path& folder) {
    // A run without a display is a console run: there is nobody to show a window to.
    if (!platform::hasDisplay()) return {};
    return platform::openFolderWindow(folder);
}

LinkServices::LinkServices(platform::MachineRoot& machine, ProgramLookup findProgram,
                           FolderOpener openFolder)
    : findProgram_(std::move(findProgram)),
      openFolder_(std::move(openFolder)),
      programManager_(machine, findProgram_) {}

platform::Expected<void, platform::ProgramManagerError> LinkServices::execute(
    std::string_view command) {
    if (observer_) observer_(command);
    return programManager_.execute(command);
}

}  // namespace kestrel::setup
