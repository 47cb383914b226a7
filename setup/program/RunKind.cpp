#include "program/RunKind.h"

#include "messages/MessageStrings.h"
#include "program/ExistingInstallation.h"
#include "program/MainWindowStart.h"
#include "records/EarlierVersionRemoval.h"
#include "records/InstalledVersions.h"
#include "records/RecordKeys.h"
#include "records/RecordReader.h"
#include "records/Requirements.h"
#include "records/WorkstationUninstall.h"
#include "script/Fields.h"

namespace kestrel::setup {

namespace {

bool askOptionsOf(const ScriptText& script, std::string_view section, const char* missing) {
    return readNumber(script.readValue(section, "AskOptions").value_or(missing)) != 0;
}

// The ADMIN page turns /A into a file-server or a workstation installation (not asked with
// /AS, nor silently); the kind says whether the components are offered. An administrator
// installation is never an uninstallation. false on Cancel.
bool chooseAdministration(SetupRun& run) {
    RunState& state = run.session.run();
    if (state.admin && !state.adminServerOnly && !state.silent) {
        WizardPage page = adminPage(run.pages->frame());
        if (run.pages->show(page, false) != PageResult::Next) return false;
        if (page.chosen == 1) {
            state.admin = false;
            state.workstation = true;
        }
    }
    if (state.admin) run.askOptions = askOptionsOf(run.session.script(), "Admin", "0");
    if (state.workstation) run.askOptions = askOptionsOf(run.session.script(), "Workstation", "0");
    if (state.admin) state.uninstall = false;
    return true;
}

// The requirements guard what is installed anew: not an uninstallation, repeat (unless of
// a service release), change or a user's part of a workstation installation.
bool checksRequirements(const RunState& state, const ApplicationSettings& settings) {
    return !state.uninstall && (!state.repeat || settings.serviceRelease) && !state.maintenance &&
           !state.perUserPart;
}

// Runs that work on the installation that is there take its registered data; those that
// need it find nothing registered and end, saying so. A user's part runs from the server.
bool readRegisteredData(SetupRun& run) {
    OperationContext& context = run.session.context();
    RunState& state = context.run;
    const bool needsInstallation =
        state.uninstall || state.repeat || state.maintenance || state.perUserPart;
    if (needsInstallation || state.newInstance) {
        const records::RegisteredProduct product = records::readBackRecords(context);
        run.recordsReadBack = true;
        if (needsInstallation && product.productName.empty()) {
            const std::string name = context.variables.value("ProductName");
            if (!records::namesSubkey(context.settings.machineKeyName)) {
                context.messages.note(
                    "Setup keeps no records of '%s' (the script names no MachineKeyName): "
                    "there is no installation to remove, repeat or change.",
                    {name});
            } else {
                context.messages.note("The application '%s' is not installed.", {name});
            }
            return false;
        }
        if (state.perUserPart) state.client = true;
    }
    if (state.client) run.askOptions = askOptionsOf(context.script, "Client", "1");
    return true;
}

// The uninstallation confirmed (5536), an earlier version removed where the script asks,
// the users of a workstation installation that is to go asked about. false when the run
// ends here.
bool clearTheWay(SetupRun& run) {
    OperationContext& context = run.session.context();
    const RunState& state = context.run;
    if (state.uninstall && !state.silent &&
        context.messages.show(messages::kConfirmUninstall,
                              {context.variables.value("ProductName")}) != buttons::kYes)
        return false;
    records::offerEarlierVersionRemoval(context, *run.programs);
    if (state.uninstall && state.workstation)
        return records::prepareWorkstationUninstall(context, *run.programs, {run.installerPath});
    return true;
}

}  // namespace

bool decideRunKind(SetupRun& run) {
    SetupSession& session = run.session;
    OperationContext& context = session.context();
    (void)records::readInstalledVersion(context);
    run.pages->setTitle(session.variables().value("SetupName"));
    const std::string version = session.variables().value("Version");
    run.pages->setProduct(session.variables().value("ProductName") +
                          (version.empty() ? "" : " " + version));
    run.pages->setPicture(wizardPictureFile(session, run.startDirectory, false));
    if (!chooseAdministration(run) || !settleExistingInstallation(run)) return false;
    if (checksRequirements(context.run, context.settings) && !records::requirementsMet(context))
        return false;
    return readRegisteredData(run) && clearTheWay(run);
}

}  // namespace kestrel::setup
