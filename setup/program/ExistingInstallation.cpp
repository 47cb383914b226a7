#include "program/ExistingInstallation.h"

#include "platform/AsciiCase.h"
#include "records/Detection.h"

namespace kestrel::setup {

namespace {

// INSTSAME: Add/Remove, Repeat, New or Uninstall; false on Cancel.
bool chooseWhatToDo(SetupRun& run) {
    RunState& state = run.session.run();
    WizardPage page = instSamePage(run.pages->frame(), offersUninstall(run.session.settings()));
    if (run.pages->show(page, false) != PageResult::Next) return false;
    switch (chosenInstSame(page)) {
        case InstSameChoice::AddRemove:
            state.maintenance = true;
            break;
        case InstSameChoice::Repeat:
            state.repeat = true;
            break;
        case InstSameChoice::New:
            state.newInstance = true;
            break;
        case InstSameChoice::Uninstall:
            state.uninstall = true;
            break;
    }
    return true;
}

}  // namespace

bool offersUninstall(const ApplicationSettings& settings) {
    return !settings.machineKeyName.empty() &&
           (settings.hideUninstall == 0 || settings.hideUninstall == 1);
}

bool settleExistingInstallation(SetupRun& run) {
    OperationContext& context = run.session.context();
    RunState& state = context.run;
    const ApplicationSettings& settings = context.settings;
    const records::InstallationFound found = records::detectInstallation(context);
    state.installed = found.installed;
    state.newerRevision = found.newerRevision;
    state.perUserPart = found.perUserPart;
    if (settings.serviceRelease) {
        state.installed = false;
        const std::string installedVersion = context.variables.value("InstalledVersion");
        if (!installedVersion.empty() &&
            platform::equalsIgnoreAsciiCase(settings.version, installedVersion)) {
            state.repeat = true;
            state.uninstall = state.maintenance = false;
        }
    }
    const bool open = !state.admin && !state.newInstance && !state.uninstall && !state.repeat &&
                      !settings.serviceRelease;
    if (open && state.installed && !state.maintenance) {
        if (state.silent) {
            (state.newerRevision ? state.repeat : state.newInstance) = true;
        } else if (state.newerRevision && records::askRepeatWithNewFiles(context)) {
            state.repeat = true;
        } else if (!chooseWhatToDo(run)) {
            return false;
        }
    }
    if (!state.installed) state.newInstance = false;
    return true;
}

}  // namespace kestrel::setup
