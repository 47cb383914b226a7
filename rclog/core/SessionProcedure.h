// One session: who opens it on which workstation, the start line, the real viewer started
// with the caller's arguments and waited for, the session line.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "LogFile.h"
#include "LogLines.h"
#include "LogPaths.h"
#include "Settings.h"
#include "Ui.h"
#include "VersionStrings.h"
#include "nwkit/ClientCalls.h"

namespace kestrel::rclog {

inline constexpr const char* kLogAccessFailed = "Cannot access log file. Please try again.";
inline constexpr const char* kViewerStartFailed = "Can't start viewer program!";

// What start-up found out, as far as it got.
struct SessionSetup {
    Settings settings;
    LogPaths logs;
    VersionStrings version;
    std::filesystem::path viewer;
    std::filesystem::path program;  // the logger's own file, which may never be the viewer
    NWDSContextHandle context = ERR_CONTEXT_CREATION;
    std::string caption;  // of the message boxes: the program's file name without extension
};

class SessionProcedure {
  public:
    SessionProcedure(Ui& ui, const nw::kit::ClientCalls& calls, const SessionSetup& setup);

    // Runs the session with the process's arguments (argument 0 first). The exit code: 0
    // after a completed session, 1 when the start line cannot be written (no viewer then) or
    // the viewer does not start (a start line but no session line).
    int run(const std::vector<std::string>& arguments);

  private:
    std::string initiator();
    std::optional<std::array<std::string, 3>> workstationColumns(const std::string& target);
    std::optional<LogFile> openLog(LogKind kind, const std::filesystem::path& path);
    void diagnose(const std::string& text);
    void pause(std::chrono::milliseconds duration) { ui_.pause(duration); }

    Ui& ui_;
    const nw::kit::ClientCalls& calls_;
    const SessionSetup& setup_;
};

}  // namespace kestrel::rclog
