// Call, the program manager's DDE, and any other word: started as a program.
#include "commands/ActionHandlers.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::commands {

namespace {

bool start(CommandCall& call, ActionServices& services, std::string_view commandLine, bool wait) {
    const std::uint32_t error =
        services.programs.start(commandLine, call.state.currentDirectory, wait);
    if (error == 0) return true;
    call.context.messages.show(messages::kCannotExecute, {commandLine, error});
    return false;
}

}  // namespace

bool callProgram(CommandCall& call, ActionServices& services) {
    return start(call, services, call.line.restAsCommandLine(), true);
}

bool startLine(CommandCall& call, ActionServices& services) {
    return start(call, services, call.line.textAsCommandLine(), false);
}

bool sendDde(CommandCall& call, ActionServices& services) {
    if (services.links.execute(call.line.rest)) return true;
    return call.context.messages.show(messages::kCannotExecuteDde, {call.line.rest}) ==
           buttons::kIgnore;
}

}  // namespace kestrel::setup::commands
