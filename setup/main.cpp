// setup: the Qt front end where there is a display, the console one where there is none.
#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "platform/MachineRoot.h"
#include "platform/Places.h"
#include "program/SetupProgram.h"
#include "ui/ConsoleUi.h"
#include "ui/qt/QtUi.h"

namespace {

bool haveDisplay() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kestrel;
    setup::SetupStart start;
    start.arguments.assign(argv + 1, argv + argc);
    std::error_code ec;
    start.currentDirectory = std::filesystem::current_path(ec);
    start.programDirectory = platform::programDirectory();
    start.prefix = platform::MachineRoot::defaultPrefix();
    if (!haveDisplay()) {
        setup::ConsoleUi ui(std::cout);
        return setup::runSetup(start, ui);
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Setup"));
    setup::QtUi ui;
    return setup::runSetup(start, ui);
}
