#include "program/SetupProgram.h"

#include "commands/HostProgramStarter.h"
#include "messages/MessageStrings.h"
#include "platform/WineTools.h"
#include "program/InstallDriver.h"
#include "program/RunEnd.h"
#include "program/RunKind.h"
#include "program/RunTransaction.h"
#include "program/RunWizard.h"
#include "program/SetupSession.h"
#include "script/SetupCommandLine.h"
#include "ui/CodePageUi.h"

namespace kestrel::setup {

int runSetup(const SetupStart& start, Ui& frontEnd) {
    CodePageUi ui(frontEnd);
    // The usage message needs no machine root: asking for it must not create one.
    if (asksForUsage(start.arguments)) {
        const StringTable strings = loadInstallerStrings(start.programDirectory);
        MessageEngine(ui, strings).show(messages::kUsage);
        return kExitSuccess;
    }
    platform::MachineRootOptions options;
    options.newRoot = platform::NewRoot::WineWhereInstalled;
    // Where Wine runs the root's programs, its server is the registry for the whole run.
    options.registryHelper = platform::registryHelperFor(start.programDirectory);
    LazyMachineRoot machine(start.prefix, options);
    ProcessEnvironment environment;
    SetupSession session(ui, machine, environment, start.programDirectory);
    session.onMachineOpened([&](platform::MachineRoot& root) {
        ui.setCodePage(platform::ansiCodePage(root.registry()));
        environment.setCodePage(platform::ansiCodePage(root.registry()));
        recoverUnfinishedRun(root, ui);
    });
    if (!session.parseCommandLine(start.arguments)) return kExitFailure;
    if (!session.loadScript(start.currentDirectory)) {
        endUnloadedRun(session.run());
        return kExitFailure;
    }
    // Relative names in the script (pictures, sounds) are found from its directory.
    std::error_code ec;
    std::filesystem::current_path(session.scriptFile().parent_path(), ec);
    SetupRun run(session);
    run.clientSwitch = session.run().client;
    run.fromCDSwitch = session.run().fromCD;
    if (session.readSettings()) {
        platform::MachineRoot& root = session.machine();
        run.sourceBeforeSrcDir = session.sourceBeforeSrcDir();
        run.startDirectory = root.windowsPath(start.currentDirectory);
        if (!start.programFile.empty()) run.installerPath = root.windowsPath(start.programFile);
        run.programs =
            std::make_unique<commands::HostProgramStarter>(root, [&ui] { ui.waitingForProgram(); });
        run.pages.emplace(session.messages(), root);
        run.failed =
            !decideRunKind(run) || !prepareRun(run) || !runWizard(run) || !installProduct(run);
    } else {
        run.failed = true;
    }
    const int code = endRun(run);
    // The window paints from the session's settings and variables: it goes before they do.
    session.setMainWindow(nullptr);
    ui.closeMainWindow();
    return code;
}

}  // namespace kestrel::setup
