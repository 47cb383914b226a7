#include "program/AdminPreparation.h"

#include "program/SourceDirectory.h"
#include "script/Fields.h"

namespace kestrel::setup {

void prepareAdministration(SetupRun& run) {
    SetupSession& session = run.session;
    RunState& state = session.run();
    BuiltinVariables& variables = session.variables();
    const ScriptText& script = session.script();
    const Expander expander = session.expander();
    const auto admin = [&script](std::string_view key) {
        return script.readValue("Admin", key).value_or("");
    };

    run.askDir = session.settings().askDir;
    if (state.admin) {
        variables.setDirectory("App", expander.expand(admin("ApplicationDir")));
        run.askDir = readNumber(admin("AskDir")) != 0;
        if (state.commandList && variables.value("App").empty())
            variables.setDirectory("App", "C:\\" + variables.value("ProductName"));
    }
    if (!run.recordsReadBack && readNumber(admin("AdminSetup")) != 0) {
        state.adminCopy = true;
        const std::string& setupInfDir = session.settings().setupInfDir;
        if (!setupInfDir.empty())
            variables.setDirectory("Src",
                                   sourceAboveScriptCopy(run.sourceBeforeSrcDir, setupInfDir));
    }
    variables.setDirectory("Data", expander.expand(variables.value("Data")));
    if (state.admin || state.adminCopy || state.workstation || state.perUserPart)
        variables.setDirectory("ClientSrcDir", expander.expand(admin("ClientSrcDir")));
}

}  // namespace kestrel::setup
