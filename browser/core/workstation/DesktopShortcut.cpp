#include "workstation/DesktopShortcut.h"

#include <algorithm>
#include <array>

#include "platform/AsciiCase.h"
#include "platform/WineDrives.h"

namespace kestrel::browser {

std::span<const WorkstationFunction> ShortcutDialogState::choices() {
    static constexpr std::array<WorkstationFunction, 5> kChoices{
        WorkstationFunction::RemoteControl, WorkstationFunction::RemoteView,
        WorkstationFunction::FileTransfer, WorkstationFunction::RemoteExecute,
        WorkstationFunction::Chat};
    return kChoices;
}

std::string_view shortcutFolder(const WorkstationFunctionInfo& function) {
    return function.button;
}

std::string shortcutFileName(std::string_view typelessName) {
    std::string name(typelessName);
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\\', '_');
    if (platform::asciiLower(name).find(".lnk") == std::string::npos) name += ".lnk";
    return name;
}

platform::ShellLink shortcutLink(const WorkstationFunctionInfo& function,
                                 const std::filesystem::path& startDirectory,
                                 const WorkstationTarget& target) {
    platform::ShellLink link;
    link.target = platform::windowsPathOf(startDirectory);
    if (!link.target.ends_with('\\')) link.target += '\\';
    link.target += function.program;
    link.arguments = workstationCommandLine(function, target, CommandLineForm::ForShortcut);
    return link;
}

namespace {

std::string folderText(const WorkstationFunctionInfo& function) {
    return std::string(kShortcutsFolder) + "\\" + std::string(shortcutFolder(function));
}

}  // namespace

std::string shortcutCreatedText(const WorkstationFunctionInfo& function,
                                std::string_view typelessName) {
    return "A shortcut in folder '" + folderText(function) +
           "' has been created for workstation '" + std::string(typelessName) + "' on the Desktop!";
}

std::string shortcutFailedText(const WorkstationFunctionInfo& function, std::string_view fileName,
                               const std::string& reason) {
    return "The shortcut '" + std::string(fileName) + "' couldn't be created in folder '" +
           folderText(function) + "' on the Desktop: " + reason + "!";
}

}  // namespace kestrel::browser
