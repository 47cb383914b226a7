#include "window/ProgramStart.h"

#include "CommandLineSwitches.h"
#include "workstation/ZenPrograms.h"

namespace kestrel::browser {

// Linux sockets need no initialisation, so the start has no sockets step that could fail.
StartOutcome startProgram(CKestrelscopeApp& app, Ui& ui, const SettingsFile& settings,
                          const std::filesystem::path& startDirectory) {
    if (!applyCommandLine(app)) {
        ui.showHelp(commandLineHelp());
        return StartOutcome::End;
    }
    // The start tree belongs to the saved start context, so it is only read along with it.
    if (app.startContext.empty()) {
        if (auto context = settings.read(kStartContextKey); !context.empty())
            app.startContext = context;
        if (auto tree = settings.read(kStartTreeKey); !tree.empty()) app.startTree = tree;
    }
    if (app.inventoryServer.empty()) app.inventoryServer = settings.read(kInventoryServerKey);

    ZenPrograms programs = findZenPrograms(startDirectory);
    app.viewerMissing = programs.viewerFound ? 0 : kViewerMissing;
    app.desktopMissing = programs.desktopFound ? 0 : kDesktopMissing;
    if (!programs.desktopFound) app.switches.onlyView = app.switches.onlyControl = true;
    if (auto question = missingProgramsQuestion(programs); question && !ui.askYesNo(*question))
        return StartOutcome::End;
    return StartOutcome::OpenMainWindow;
}

}  // namespace kestrel::browser
