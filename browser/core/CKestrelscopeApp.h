// The settings of one run of the browser: what the command line, the settings file and the
// check for the remote-management programs decided before the main window opens.
#pragma once

#include <string>

namespace kestrel::browser {

// The command-line switches that restrict the main window.
struct SwitchFlags {
    bool noChange = false;     // "/nochange"
    bool noSave = false;       // "/nosave"
    bool noCreate = false;     // "/nocreate"
    bool noSearch = false;     // "/nosearch"
    bool noTree = false;       // "/noNDS"
    bool noHelp = false;       // "/noHelp"
    bool noInventory = false;  // "/noInv"
    bool onlyView = false;     // "/onlyView", "/onlyRemote", or no DESKTOP.EXE
    bool onlyControl = false;  // "/onlyControl", "/onlyRemote", or no DESKTOP.EXE

    bool restricted() const { return onlyView || onlyControl; }
};

inline constexpr int kViewerMissing = 1;
inline constexpr int kDesktopMissing = 2;

struct CKestrelscopeApp {
    std::string commandLine;  // the arguments after the program name, joined by blanks
    std::string startContext;
    SwitchFlags switches;
    bool inventoryServerFromCommandLine = false;  // "/Inv=" was given
    std::string inventoryServer;
    int viewerMissing = 0;   // kViewerMissing when WVIEWNT.EXE was not found
    int desktopMissing = 0;  // kDesktopMissing when DESKTOP.EXE was not found
    std::string startTree;
    // Where "Goto Start Context" returns to.
    std::string savedStartTree;
    std::string savedStartContext;
};

}  // namespace kestrel::browser
