#pragma once

#include <string>
#include <vector>

#include "program/SetupSession.h"

namespace kestrel::setup {

// The main window once the settings are read: the background picture's and the logo's names
// expanded and their files found (5501 for a picture found nowhere, except when
// uninstalling or in an administrator installation), then the window made with the
// gradient, the pictures and the texts, and titled with SetupName. `startDirectory` is the
// Windows form of the directory that was current when the program started. nullptr where
// the front end has no windows.
BackgroundWindow* openMainWindow(SetupSession& session, Ui& ui, const std::string& startDirectory);

// The host files of those of `names` (their variables expanded) that are found where the run
// looks for pictures (and sounds), in their order.
std::vector<std::string> findRunFiles(SetupSession& session, const std::vector<std::string>& names,
                                      const std::string& startDirectory);

// The wizard picture's host file: the first of WizardPicture's files found; empty for the
// front end's built-in picture, which serves displays of any colour depth. With `sayMissing`
// a picture found nowhere is said as the main window's are.
std::string wizardPictureFile(SetupSession& session, const std::string& startDirectory,
                              bool sayMissing);

// Whether the main window is shown: not for an uninstallation, nor silently unless at level 2.
bool showsMainWindow(const RunState& run);

}  // namespace kestrel::setup
