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
#include "platform/CommandLine.h"
#include "platform/EchoProbe.h"
#include "platform/Places.h"

namespace kestrel::classic {

int runClassic(int argc, char** argv) {
    QApplication application(argc, argv);  // takes its own options out of argv
    std::string commandLine = platform::commandTail(argc, argv);
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
    // OK and the close box end the program normally; no function ends it otherwise.
    window.exec();
    return 0;
}

}  // namespace kestrel::classic
