#include "program/InstallServices.h"

#include "commands/AlsaSoundOutput.h"
#include "components/ComponentListBuild.h"
#include "components/WorkSection.h"
#include "copy/FileRemoval.h"
#include "platform/AsciiCase.h"
#include "platform/RootProgramSearch.h"
#include "system/SystemOperations.h"

namespace kestrel::setup {

namespace {

// A bare program name in a link line is looked for as the root's loader would.
ProgramLookup rootProgramLookup(const platform::MachineRoot& machine) {
    return
        [&machine](std::string_view name) { return platform::findOnRootSearchPath(machine, name); };
}

bool isInside(std::string_view inner, std::string_view outer) {
    return outer.empty() || (inner.size() >= outer.size() &&
                             platform::equalsIgnoreAsciiCase(inner.substr(0, outer.size()), outer));
}

}  // namespace

PromptRun promptRunOf(OperationContext& context) {
    const RunState& run = context.run;
    PromptRun prompts;
    prompts.kind.admin = run.admin;
    prompts.kind.workstation = run.workstation;
    prompts.kind.client = run.client;
    prompts.kind.fromCD = run.fromCD;
    prompts.kind.perUserPart = run.perUserPart;
    prompts.kind.systemInsideWindows =
        isInside(context.variables.value("System"), context.variables.value("Windows"));
    prompts.silent = run.silent;
    prompts.machineKeyName = context.settings.machineKeyName;
    prompts.useRegisteredAnswers =
        (run.uninstall || run.repeat || run.maintenance) && !prompts.machineKeyName.empty();
    return prompts;
}

// Made in the order each part needs the ones before it; the system operations are both the
// script's system commands and the copy engine's registration of copied files.
struct InstallServices::Parts {
    explicit Parts(SetupRun& run)
        : context(run.session.context()),
          progress(run.session.messages(), run.session.run()),
          system(SystemServices{context, *run.programs, progress}),
          copy(context, progress, *run.pages, system, &run.hook),
          removal(run.session.machine(), copy.inUse(), run.session.messages(), run.session.run()),
          links(run.session.machine(), rootProgramLookup(run.session.machine())),
          actions{copy.copier(),
                  removal,
                  copy.inUse(),
                  copy.diskPrompt(),
                  copy.diskLabels(),
                  progress,
                  links,
                  *run.programs,
                  sound,
                  system,
                  run.session.mainWindow()},
          expander(run.session.expander()),
          prompts(run.session.script(), expander, run.session.environment(), run.session.registry(),
                  *run.pages, run.answers),
          commands(context, copy.sections(), actions, prompts),
          dispatch(context, copy.sections(), links) {
        system.attach(dispatch);
        // A silent run that must ask after all shows its window for that time, unless it
        // is showing it anyway.
        prompts.onSilentPage([&run] {
            if (run.session.run().silentLevel < 2) run.session.messages().ui().showMainWindow();
        });
    }

    OperationContext& context;
    ProgressWindow progress;
    SystemOperations system;
    copy::CopyRun copy;
    copy::FileRemoval removal;
    LinkServices links;
    commands::AlsaSoundOutput sound;
    commands::ActionServices actions;
    Expander expander;
    PromptAsker prompts;
    commands::CommandRun commands;
    SectionDispatch dispatch;
};

bool makeWorkServices(SetupRun& run) {
    if (!run.services) run.services = std::make_unique<InstallServices>(run);
    if (run.components) return true;
    SetupSession& session = run.session;
    auto list = buildComponentList(session.context(), session.setupSection().scriptVersion,
                                   run.askOptions, run.services->ownSize());
    if (!list) return false;
    run.components.emplace(std::move(*list));
    return true;
}

SetupRun::SetupRun(SetupSession& runSession) : session(runSession), hook(runSession) {}
SetupRun::~SetupRun() = default;

InstallServices::InstallServices(SetupRun& run) : parts_(std::make_unique<Parts>(run)) {}
InstallServices::~InstallServices() = default;

ProgressWindow& InstallServices::progress() {
    return parts_->progress;
}
FileSectionReader& InstallServices::sections() {
    return parts_->copy.sections();
}
copy::CopyRun& InstallServices::copy() {
    return parts_->copy;
}
commands::SoundOutput& InstallServices::sound() {
    return parts_->sound;
}
LinkServices& InstallServices::links() {
    return parts_->links;
}
PromptAsker& InstallServices::prompts() {
    return parts_->prompts;
}
commands::CommandRun& InstallServices::commands() {
    return parts_->commands;
}

SectionProcessor InstallServices::sectionProcessor() {
    return [this](std::string_view section, Direction direction) {
        return parts_->dispatch.process(section, direction);
    };
}

OwnSize InstallServices::ownSize() {
    return workSectionSizes(parts_->copy.sections(), parts_->context.script,
                            parts_->context.variables);
}

}  // namespace kestrel::setup
