#pragma once

#include <string>

#include "messages/MessageEngine.h"
#include "ops/RegistryServices.h"
#include "script/BuiltinVariables.h"
#include "script/Environment.h"
#include "script/Expander.h"
#include "script/RunState.h"
#include "script/ScriptText.h"
#include "script/Settings.h"

namespace kestrel::setup {

// What every operation works with: the run state, the script and its settings, the
// variables, the machine (through the registry services) and the person (through the
// message engine).
struct OperationContext {
    RunState& run;
    const ScriptText& script;
    const ApplicationSettings& settings;
    BuiltinVariables& variables;
    Environment& environment;
    RegistryServices& registry;
    MessageEngine& messages;
    std::string title;  // the installer window's title as it is now

    Expander expander() const {
        return Expander({&variables, &environment, &registry, &registry.machine()});
    }
    Ui& ui() { return messages.ui(); }
    void setTitle(std::string text) {
        title = std::move(text);
        ui().setTitle(title);
    }
};

}  // namespace kestrel::setup
