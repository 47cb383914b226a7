#include "records/ProgramLaunch.h"

#include "messages/MessageStrings.h"
#include "program/NotifyWindow.h"

namespace kestrel::setup::records {

bool startProgram(OperationContext& context, commands::ProgramStarter& starter,
                  std::string_view command, bool wait) {
    const std::uint32_t error = starter.start(command, {}, wait);
    if (error == 0) return true;
    context.messages.show(messages::kCannotExecute, {command, error});
    return false;
}

bool runChildInstaller(OperationContext& context, commands::ProgramStarter& starter,
                       std::string command) {
    auto window = NotifyWindow::open();
    if (window) command += " /W" + std::to_string(window->number());
    if (!startProgram(context, starter, command, true)) return false;
    if (!window) return true;
    switch (window->receive().restart) {
        case RestartKind::Computer:
            context.run.restartComputer = true;
            break;
        case RestartKind::Windows:
            context.run.restartWindows = true;
            break;
        case RestartKind::None:
            break;
    }
    return true;
}

}  // namespace kestrel::setup::records
