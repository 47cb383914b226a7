#include "ClassicApplication.h"

#include <QApplication>
#include <memory>

#include "AutomationRegistration.h"
#include "AutomationService.h"
#include "ClassicBrowser.h"
#include "DirectoryAccess.h"
#include "MainWindow.h"
#include "ProfileFile.h"
#include "QtUi.h"
#include "platform/Echo.h"
#include "platform/Places.h"

namespace kestrel::classic {

namespace {

// The command line as the program saw it on Windows: the arguments after the program
// name, separated by blanks.
std::string commandLineOf(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

}  // namespace

int runClassic(int argc, char** argv) {
    QApplication application(argc, argv);  // takes its own options out of argv
    std::string commandLine = commandLineOf(argc, argv);
    std::filesystem::path program = platform::programPath();

    QtUi ui;
    DirectoryAccess directory(ui);
    auto echo = platform::makeIcmpEchoProbe();
    BrowserServices services;
    services.profileFile = profileFileFor(program);
    services.echo = echo.get();
    ClassicBrowser browser(ui, directory, std::move(services));

    MainWindow window(browser);
    ui.setWindow(&window);
    std::unique_ptr<AutomationService> automation;
    if (isAutomationStart(commandLine)) {
        automation = std::make_unique<AutomationService>(&window);
        automation->registerOnSessionBus();
    } else {
        updateActivationFile(program);  // like a registry update, never worth a message
    }

    browser.start(commandLine);
    window.refresh();
    window.exec();
    // OK and the close box end the program normally; only a function that ends the
    // program sets another exit code.
    return ui.exitCode();
}

}  // namespace kestrel::classic
