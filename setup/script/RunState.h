#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::setup {

enum class SetupMode { Full, Standard, Custom };

// Extra flags (/X): what callers and the installer's own child runs ask for.
namespace extra {
inline constexpr std::uint32_t kNoEndMessage = 0x2;    // no end message, no per-user questions
inline constexpr std::uint32_t kFromReinstall = 0x4;   // started by the reinstall command
inline constexpr std::uint32_t kCallerRestarts = 0x8;  // exit 6702 instead of restarting
}  // namespace extra

// The run's process-wide flags and values: filled from the command line, then from the
// script and the person's answers; every part of the installer reads it.
struct RunState {
    // From the command line (and later from the wizard).
    bool usage = false;                          // /?
    bool admin = false;                          // /A or "File server"
    bool adminServerOnly = false;                // /AS
    bool workstation = false;                    // /AW or "Workstation"
    bool client = false;                         // /C or "Start from server"
    bool fromCD = false;                         // /D or "Start from CD"
    bool localOnly = false;                      // /L
    bool maintenance = false;                    // /M or "Add/Remove..."
    bool newInstance = false;                    // /N or "New..."
    std::string options;                         // /O..., several add up
    std::optional<std::string> sourceDirectory;  // /P, expanded, with a trailing backslash
    bool repeat = false;                         // /R or "Repeat"
    bool silent = false;                         // /S, /S0, /S1, /S2 (not /S3)
    int silentLevel = 0;
    bool commandList = false;  // /T
    int commandListLevel = 0;
    bool uninstall = false;            // /U or "Uninstall..."
    std::optional<long> notifyWindow;  // /W
    std::uint32_t extraFlags = 0;      // /X, OR-ed
    std::string scriptWord;            // the last word that is no switch

    // From the operations.
    bool abort = false;
    bool cancelled = false;  // the person (or nobody answering) ended the work
    // What an uninstallation could not undo: it goes on with the rest and fails at the end.
    std::vector<std::string> notUndone;
    bool restartWindows = false;
    bool restartComputer = false;        // also: files in use were scheduled for the next start
    bool fontsChanged = false;           // the system is told at the end of the run
    bool removeAllUnusedShared = false;  // All to "apparently no longer needed"

    // From the script, the detection of an earlier installation and the wizard.
    SetupMode mode = SetupMode::Custom;
    bool installed = false;
    bool newerRevision = false;
    bool perUserPart = false;
    bool adminCopy = false;  // this script is the copy an administrator installation left
};

}  // namespace kestrel::setup
