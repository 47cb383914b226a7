#include "program/RunEnd.h"

#include "commands/ProgramStarter.h"
#include "messages/MessageStrings.h"
#include "platform/Places.h"
#include "program/InstallServices.h"
#include "program/MachineRestart.h"
#include "program/RestartDecision.h"
#include "program/RunTransaction.h"
#include "program/SetupProgram.h"

namespace kestrel::setup {

namespace {

// The list of /T closed and shown: the desktop's text viewer opens it (the console prints
// where it is). false when it could not be written completely.
bool openCommandList(SetupRun& run) {
    SetupSession& session = run.session;
    run.commandList.close();
    const auto host = session.machine().hostPath(run.commandListPath);
    if (run.commandList.fail() || !host) {
        session.messages().show(messages::kCannotWriteFile, {run.commandListPath});
        return false;
    }
    if (!session.messages().ui().showTextFile(*host)) {
        session.messages().show(messages::kCannotExecute,
                                {"xdg-open " + run.commandListPath, commands::kErrorNoAssociation});
    }
    return true;
}

void showCompleted(SetupRun& run) {
    SetupSession& session = run.session;
    const RunState& state = session.run();
    BuiltinVariables& variables = session.variables();
    const std::string product = variables.value("ProductName");
    if (state.admin) {
        // What users run to install from the server this run made.
        const std::string program = withTrailingBackslash(variables.value("App")) +
                                    (state.fromCD ? "" : variables.value("SetupInfDir")) +
                                    "Setup.exe";
        session.messages().show(messages::kAdminCompleted, {product, program});
    } else {
        session.messages().show(state.uninstall ? messages::kUninstalled : messages::kCompleted,
                                {product});
    }
}

// The end of a run that went well: its message and the restart it needs. The restart
// decided comes back: none when the person declined it.
RestartKind endMessageAndRestart(SetupRun& run, bool endMessage, int& code) {
    SetupSession& session = run.session;
    const RunState& state = session.run();
    const RestartKind needed =
        neededRestart(state, session.machine().windowsVersion().isNT(), session.settings().reboot);
    if (needed != RestartKind::None && (state.extraFlags & extra::kCallerRestarts) != 0) {
        code = kExitRestartByCaller;
        if (endMessage) showCompleted(run);
        return needed;
    }
    if (!endMessage) return needed;
    if (needed == RestartKind::None) {
        showCompleted(run);
        return needed;
    }
    const bool computer = needed == RestartKind::Computer;
    const int question = state.uninstall ? (computer ? messages::kUninstalledRestartComputer
                                                     : messages::kUninstalledRestartWindows)
                                         : (computer ? messages::kCompletedRestartComputer
                                                     : messages::kCompletedRestartWindows);
    const bool yes = session.messages().show(
                         question, {session.variables().value("ProductName")}) == buttons::kYes;
    return yes ? needed : RestartKind::None;
}

std::string installerPath(SetupRun& run) {
    if (!run.installerPath.empty()) return run.installerPath;
    return run.session.machine().windowsPath(platform::programPath());
}

}  // namespace

int endRun(SetupRun& run) {
    SetupSession& session = run.session;
    RunState& state = session.run();
    if (run.services) run.services->progress().close();
    session.messages().ui().raiseMainWindow();
    const bool endMessage = !state.silent && (state.extraFlags & extra::kNoEndMessage) == 0;
    int code = kExitSuccess;
    RestartKind restart = RestartKind::None;
    // A question nobody could answer ended the run as a failed step does.
    const bool failed = run.failed || state.abort || session.messages().unanswered();
    endTransaction(run, !failed && !state.commandList);
    if (failed) {
        code = kExitFailure;
        if (state.abort && endMessage)
            session.messages().show(state.uninstall ? messages::kUninstallAborted
                                                    : messages::kAborted);
    } else if (state.commandList && run.commandList.is_open()) {
        if (!openCommandList(run)) code = kExitFailure;
    } else {
        restart = endMessageAndRestart(run, endMessage, code);
    }
    if (!failed && !state.notUndone.empty()) {
        session.messages().ui().note(
            "The uninstallation could not remove everything; left in "
            "place:");
        for (const std::string& line : state.notUndone) session.messages().ui().note(line);
        code = kExitFailure;
    }
    if (session.messages().unanswered()) code = kExitFailure;  // the restart question, say
    run.hook.event(ExtensionHook::kEventEnd);
    run.hook.unload();

    const bool callerTold = state.notifyWindow && notifyCaller(*state.notifyWindow, restart);
    if (restartsItself(state, restart, callerTold, session.settings().reboot))
        restartOrHandOver(session, installerPath(run), restart);
    return code;
}

void endUnloadedRun(const RunState& run) {
    if (run.notifyWindow) (void)notifyCaller(*run.notifyWindow, RestartKind::None);
}

}  // namespace kestrel::setup
