#include "components/ComponentListBuild.h"
#include "components/ComponentSelection.h"
#include "components/WorkSection.h"
#include "program/AdminPreparation.h"
#include "program/BackgroundSound.h"
#include "program/InstallServices.h"
#include "program/MainWindowStart.h"
#include "program/RunKind.h"

namespace kestrel::setup {

namespace {

// The main window with its pictures, now that the run's kind says where they are; the
// wizard's picture from its expanded names.
void openWindow(SetupRun& run) {
    SetupSession& session = run.session;
    session.setMainWindow(openMainWindow(session, session.messages().ui(), run.startDirectory));
    run.pages->setPicture(wizardPictureFile(session, run.startDirectory, true));
}

// The component list, its first selection and sizes, the /O preset; then the extension
// module may refuse the run.
bool buildComponents(SetupRun& run) {
    SetupSession& session = run.session;
    run.services = std::make_unique<InstallServices>(run);
    run.components = buildComponentList(
        session.context(), session.setupSection().scriptVersion, run.askOptions,
        workSectionSizes(run.services->sections(), session.script(), session.variables()));
    if (!run.components) return false;
    if (const std::string& preset = session.run().options; !preset.empty())
        applyOptionsPreset(*run.components, preset);
    return run.hook.event(ExtensionHook::kEventComponentsBuilt);
}

}  // namespace

bool prepareRun(SetupRun& run) {
    SetupSession& session = run.session;
    prepareAdministration(run);
    openWindow(run);
    // The component page draws its check pictures itself: there are no bitmaps to load.
    if (!run.hook.load() || !session.loadEnvironmentSection() || !buildComponents(run))
        return false;
    if (showsMainWindow(session.run())) {
        session.messages().ui().showMainWindow();
        playBackgroundSound(session, run.services->sound(), run.startDirectory);
    }
    return true;
}

}  // namespace kestrel::setup
