#include <string>

#include "commands/ScriptCommandHandlers.h"
#include "messages/MessageStrings.h"
#include "platform/AsciiCase.h"
#include "script/ScriptText.h"

namespace kestrel::setup::commands {

namespace {

// Names are stored in capitals: %name% looks them up so, and the host's environment, unlike
// Windows', tells cases apart.
bool store(CommandCall& call, std::string_view name, std::string_view value) {
    if (call.context.environment.set(platform::asciiUpper(name), value)) return true;
    call.context.messages.show(messages::kOutOfMemory);
    return false;
}

}  // namespace

bool setVariable(CommandCall& call) {
    const std::string_view rest = call.line.rest;
    const std::size_t equals = rest.find('=');
    if (equals == std::string_view::npos) return invalidParameter(call);
    const std::string_view name = trimBlanks(rest.substr(0, equals));
    if (name.empty()) return invalidParameter(call);
    return store(call, name, rest.substr(equals + 1));
}

bool replaceEnvironmentVariable(CommandCall& call) {
    const std::string& name = call.line.arguments[0];
    const Environment& environment = call.context.environment;
    const std::string value =
        environment.get(name).value_or(environment.get(platform::asciiUpper(name)).value_or(""));
    return store(call, name, call.context.expander().expand(value));
}

}  // namespace kestrel::setup::commands
