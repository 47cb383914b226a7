// What happens before the main window opens: the command line, the settings file and the
// check for the remote-management programs.
#pragma once

#include <filesystem>

#include "CKestrelscopeApp.h"
#include "Ui.h"
#include "window/SettingsFile.h"

namespace kestrel::browser {

enum class StartOutcome { OpenMainWindow, End };

// Fills `app` from app.commandLine, the settings file and the programs found in
// `startDirectory`. End after the help dialog, or when the person declines to go on without
// a missing program.
StartOutcome startProgram(CKestrelscopeApp& app, Ui& ui, const SettingsFile& settings,
                          const std::filesystem::path& startDirectory);

}  // namespace kestrel::browser
