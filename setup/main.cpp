// setup: the Qt front end where there is a display, the console one where there is none.
#include <unistd.h>
#include <QApplication>

#include <iostream>

#include "platform/Display.h"
#include "platform/MachineRoot.h"
#include "platform/Places.h"
#include "program/SetupProgram.h"
#include "program/SetupSession.h"
#include "program/StarterStatus.h"
#include "script/SetupCommandLine.h"
#include "ui/ConsoleUi.h"
#include "ui/TerminalEcho.h"
#include "ui/qt/QtUi.h"

namespace {

int run(int argc, char** argv) {
    using namespace kestrel;
    setup::SetupStart start;
    start.arguments.assign(argv + 1, argv + argc);
    std::error_code ec;
    start.currentDirectory = std::filesystem::current_path(ec);
    start.programDirectory = platform::programDirectory();
    start.programFile = platform::programPath();
    start.prefix = platform::MachineRoot::defaultPrefix();
    if (!platform::hasDisplay()) {
        // Questions go to the person at the terminal; a silent run asks nobody.
        const bool terminal = ::isatty(STDIN_FILENO) != 0;
        setup::ConsoleUi ui(std::cout, terminal ? &std::cin : nullptr,
                            setup::asksForSilentRun(start.arguments, setup::namesHostFile));
        if (terminal) ui.setEchoControl(setup::terminalEcho(STDIN_FILENO));
        return setup::runSetup(start, ui);
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Setup"));
    setup::QtUi ui;
    return setup::runSetup(start, ui);
}

}  // namespace

int main(int argc, char** argv) {
    // Started by kestrel-setup.exe under Wine, which waits for the exit code.
    const auto starter = kestrel::setup::StarterStatus::fromEnvironment();
    const int code = run(argc, argv);
    if (starter) starter->finished(code);
    return code;
}
