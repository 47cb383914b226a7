// Desktop shortcuts that start a remote-management program against one workstation later:
// shell links in "Z.E.N.works Shortcuts\<function>" on the user's desktop.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/ShellLink.h"
#include "workstation/WorkstationCommandLine.h"

namespace kestrel::browser {

inline constexpr std::string_view kShortcutsFolder = "Z.E.N.works Shortcuts";

// "Kestrelscope: Shortcut Selection Dialog": the functions a desktop shortcut can start,
// none chosen at first.
struct ShortcutDialogState {
    std::optional<WorkstationFunction> chosen;

    // Remote Control, Remote View, File Transfer, Remote Execute and Chat, in this order.
    static std::span<const WorkstationFunction> choices();
};

// The folder of one function's shortcuts, inside kShortcutsFolder.
std::string_view shortcutFolder(const WorkstationFunctionInfo& function);

// The file name of a workstation's shortcut: its typeless name, with ".lnk" added unless the
// name holds ".lnk" already (in any case). A name never reaches outside its folder: path
// separators in it become '_'.
std::string shortcutFileName(std::string_view typelessName);

// The link: the function's program in `startDirectory`, as a Windows program sees that
// folder, with the shortcut form of the command line as its arguments. Nothing else is set.
platform::ShellLink shortcutLink(const WorkstationFunctionInfo& function,
                                 const std::filesystem::path& startDirectory,
                                 const WorkstationTarget& target);

// What the browser says once the shortcut is saved.
std::string shortcutCreatedText(const WorkstationFunctionInfo& function,
                                std::string_view typelessName);
// What it says when the shortcut file could not be written, and why.
std::string shortcutFailedText(const WorkstationFunctionInfo& function, std::string_view fileName,
                               const std::string& reason);

}  // namespace kestrel::browser
