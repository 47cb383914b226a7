#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "ops/LinkTarget.h"
#include "platform/Expected.h"
#include "platform/MachineRoot.h"
#include "platform/ProgramManager.h"

namespace kestrel::setup {

// What the link operations of one run share: the program search of the root, the desktop's
// file manager, the program manager (found once and kept for the run, like a DDE partner)
// and whether the Explorer folder has been shown.
class LinkServices {
  public:
    // Opens a host folder for the person to see; an error says why it could not.
    using FolderOpener =
        std::function<platform::Expected<void, std::string>(const std::filesystem::path&)>;

    // The desktop's file manager where there is a display; nothing to open without one.
    static platform::Expected<void, std::string> openOnDisplay(const std::filesystem::path& folder);

    LinkServices(platform::MachineRoot& machine, ProgramLookup findProgram,
                 FolderOpener openFolder = openOnDisplay);

    const ProgramLookup& findProgram() const { return findProgram_; }
    const FolderOpener& openFolder() const { return openFolder_; }
    platform::ProgramManager& programManager() { return programManager_; }

    // Sends an execute string to the program manager.
    platform::Expected<void, platform::ProgramManagerError> execute(std::string_view command);
    // Sees every execute string sent, before it executes (the run's record of them).
    void observeCommands(std::function<void(std::string_view)> observer) {
        observer_ = std::move(observer);
    }

    // True once per run: the first link's turn to show the Explorer folder.
    bool takeShellFolderTurn() { return !std::exchange(shellFolderShown_, true); }

  private:
    ProgramLookup findProgram_;
    FolderOpener openFolder_;
    platform::ProgramManager programManager_;
    std::function<void(std::string_view)> observer_;
    bool shellFolderShown_ = false;
};

}  // namespace kestrel::setup
