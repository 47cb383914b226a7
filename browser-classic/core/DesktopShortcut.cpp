// Create a Desktop Shortcut: a shell link that starts the remote-control viewer against the
// selected workstation, in a folder of its own on the desktop.
#include <algorithm>

#include "ClassicBrowser.h"
#include "ContextNames.h"
#include "RemoteControlCommand.h"
#include "platform/AsciiCase.h"
#include "platform/Places.h"
#include "platform/PrivateFiles.h"
#include "platform/ShellLink.h"
#include "platform/WineDrives.h"

namespace kestrel::classic {

namespace {

constexpr const char* kFolder = "Z.E.N.works Remote Control";

// Windows refuses these in file names; a name holding one (or a path separator that would
// lead out of the folder) cannot become a shortcut.
bool isWindowsFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           std::none_of(name.begin(), name.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20 ||
                      std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
           });
}

}  // namespace

std::optional<std::string> ClassicBrowser::saveShortcut(const std::string& fileName,
                                                        const std::string& arguments) {
    if (!isWindowsFileName(fileName))
        return "the name holds a character that file names may not hold";
    std::filesystem::path file = platform::desktopDir() / kFolder / fileName;
    if (!contains(platform::asciiLower(file.string()), ".lnk")) file += ".lnk";
    platform::ShellLink link;
    std::error_code error;
    const std::filesystem::path start = std::filesystem::current_path(error);
    if (error) return "the current folder cannot be read (" + error.message() + ")";
    link.target = platform::windowsPathOf(start / kViewerProgram);
    link.arguments = arguments;
    if (const std::error_code written =
            platform::writeShellLink(file, link, platform::kOwnerOnlyFile))
        return written.message();
    return std::nullopt;
}

void ClassicBrowser::createShortcut() {
    std::string name = selectedWorkstation();
    if (name.empty()) return;
    platform::ensurePrivateFolder(platform::desktopDir() / kFolder, platform::ExistingFolder::Keep);
    std::string arguments = remoteControlCommandLine(name, treeNameText_, CommandForm::ForShortcut);
    std::string created = "Shortcut has been created for \n" + name +
                          "\nin Desktop Folder 'Z.E.N.works Remote Control'";
    // A shortcut that could not be saved says why, so that none is lost unnoticed.
    auto notCreated = [](const std::string& fileName, const std::string& reason) {
        return "Shortcut for \n" + fileName +
               "\ncould not be created in Desktop Folder 'Z.E.N.works Remote Control': " + reason +
               "!";
    };
    std::optional<std::string> failure = saveShortcut(name, arguments);
    if (!failure) {
        ui_.showMessage(created);
        return;
    }
    if (!contains(name, "*")) {
        ui_.showMessage(notCreated(name, *failure));
        return;
    }
    const std::string& itemText = tree_.text(selected_);
    if (!ui_.askYesNo("Shortcuts with characters like * are not allowed!\n\nShould I create the "
                      "shortcut " +
                      itemText + "\ninstead of " + name + "?"))
        return;
    failure = saveShortcut(itemText, arguments);
    ui_.showMessage(failure ? notCreated(itemText, *failure) : created);
}

}  // namespace kestrel::classic
