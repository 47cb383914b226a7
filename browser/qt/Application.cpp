#include "Application.h"

#include <QApplication>
#include <filesystem>
#include <system_error>

#include "Artwork.h"
#include "MainWindow.h"
#include "QtUi.h"
#include "platform/CommandLine.h"
#include "window/BrowserController.h"
#include "window/ProgramStart.h"

namespace kestrel::browser::qt {

int runKestrelscope(int argc, char** argv) {
    // Taken before Qt removes the options it knows, so the rules see every argument.
    CKestrelscopeApp app;
    app.commandLine = platform::commandTail(argc, argv);
    std::error_code error;
    std::filesystem::path startDirectory = std::filesystem::current_path(error);

    QApplication application(argc, argv);
    QApplication::setApplicationName(kProgramName);
    QApplication::setWindowIcon(programIcon());
    QtUi ui;
    SettingsFile settings;
    if (startProgram(app, ui, settings, startDirectory) == StartOutcome::End) return 0;

    BrowserController controller(app, ui, settings);
    MainWindow window(controller);
    window.exec();
    return 0;
}

}  // namespace kestrel::browser::qt
