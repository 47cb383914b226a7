#include "program/InstallDriver.h"

#include <optional>

#include "commands/Command.h"
#include "commands/HostProgramStarter.h"
#include "components/ComponentSelection.h"
#include "components/WorkList.h"
#include "messages/MessageStrings.h"
#include "ops/LinkSections.h"
#include "plan/PlanRunner.h"
#include "platform/Display.h"
#include "program/AdminCopyScript.h"
#include "program/InstallServices.h"
#include "program/RunTransaction.h"
#include "program/WorkstationLinks.h"
#include "records/InstallCommands.h"
#include "records/InstalledVersions.h"
#include "records/ProgramLaunch.h"
#include "records/RecordKeys.h"
#include "records/RecordRemoval.h"
#include "records/RecordWriter.h"
#include "script/Fields.h"

namespace kestrel::setup {

namespace {

using platform::RegistryRoot;

// The progress window of the work: a child of the main window, or a window of its own when
// uninstalling and in a silent run of level 1; hidden in the quietest silent runs.
void openProgress(SetupRun& run) {
    const RunState& state = run.session.run();
    const OperationContext& context = run.session.context();
    ProgressPlacement placement;
    placement.popup = state.uninstall || (state.silent && state.silentLevel == 1);
    if (!state.uninstall) placement.rect = context.settings.copyDialogRect;
    run.services->progress().open(context.title, !(state.silent && state.silentLevel == 0),
                                  !context.settings.disableCancelButton, placement);
}

// /T: the list file in the root's temporary folder, "<ProductNameShort>.txt" (".bat" with
// /T1). One that cannot be made is said with 5504 and the run does the work instead.
void openCommandList(SetupRun& run) {
    RunState& state = run.session.run();
    if (state.uninstall) state.commandList = false;
    if (!state.commandList) return;
    platform::MachineRoot& machine = run.session.machine();
    std::string temp = machine.expandRootEnvironment("%TEMP%");
    if (temp.find('%') != std::string::npos) temp = machine.windowsDirectory() + "\\temp";
    run.commandListPath = temp + "\\" + run.session.variables().value("ProductNameShort") +
                          (state.commandListLevel == 1 ? ".bat" : ".txt");
    if (const auto host = machine.hostPath(run.commandListPath)) {
        std::error_code ignored;
        std::filesystem::create_directories(host->parent_path(), ignored);
        run.commandList.open(*host, std::ios::binary | std::ios::trunc);
    }
    if (run.commandList.is_open()) return;
    run.session.messages().show(messages::kCannotCreateFile, {run.commandListPath});
    state.commandList = false;
    run.commandListPath.clear();
}

// A new instance goes beside the registered one, whose folder the records hold.
void readExistingInstance(SetupRun& run) {
    const RunState& state = run.session.run();
    OperationContext& context = run.session.context();
    if (!state.newInstance || context.settings.machineKeyName.empty()) return;
    const bool clientPath = (state.client || state.fromCD) && !state.workstation;
    std::string path;
    if (run.session.registry().readText(RegistryRoot::LocalMachine,
                                        records::setupKey(context.settings.machineKeyName),
                                        clientPath ? "ClientPath" : "AppPath", &path) == 0)
        run.existingInstancePath = withTrailingBackslash(path);
}

// The uninstall and reinstall commands: an administrator copy may name its own in [Admin],
// and a local run of it those of [Application] again.
void composeCommands(SetupRun& run) {
    OperationContext& context = run.session.context();
    const RunState& state = context.run;
    std::string uninstall = context.settings.uninstallString;
    std::string reinstall = context.settings.reinstallString;
    if (state.adminCopy) {
        const ScriptText& script = context.script;
        uninstall = script.readValue("Admin", "UninstallString").value_or(uninstall);
        reinstall = script.readValue("Admin", "ReinstallString").value_or(reinstall);
        const auto fromApplication =
            script.readValue("Client", "UseUninstallStringFromApplication");
        if (!state.client && !state.fromCD && readNumber(fromApplication.value_or("")) != 0) {
            uninstall = context.settings.uninstallString;
            reinstall = context.settings.reinstallString;
        }
    }
    records::composeInstallCommands(context, uninstall, reinstall);
}

bool processWorkList(SetupRun& run) {
    RunState& state = run.session.run();
    ComponentList& list = *run.components;
    if (!state.uninstall && !state.repeat && !state.maintenance) applyMode(list, state.mode);
    OperationContext& context = run.session.context();
    LinkServices& links = run.services->links();
    WorkList work(
        context, list, run.services->sectionProcessor(), run.hook.componentHook(list),
        [&context, &links](const std::vector<std::string>& components, Direction direction) {
            return processComponentLinks(context, links, components, direction);
        });
    if (state.maintenance) return work.maintain();
    return state.uninstall ? work.uninstall() : work.install();
}

// The records of the installation, written or deleted, and the root's registry saved.
bool updateRecords(SetupRun& run) {
    OperationContext& context = run.session.context();
    const RunState& state = context.run;
    if (context.settings.machineKeyName.empty() || state.commandList) return true;
    if (state.uninstall) {
        records::deleteRecords(context);
        if (state.workstation) removeWorkstationLinks(context);
    } else {
        if (!records::writeRecords(context, run.answers,
                                   records::InstallerProgram{run.installerPath}))
            return false;
        records::replaceEarlierVersionRecords(context);
    }
    return PlanRunner(context).save(state.uninstall ? Direction::Uninstall : Direction::Install);
}

std::string withoutQuotes(std::string text) {
    std::erase(text, '"');
    return text;
}

// The Readme command to start when this run copied the file it names: the whole value (a
// path that may hold blanks, started quoted) or the text after its program word.
std::optional<std::string> readmeCommand(const copy::FileCopier& copier,
                                         const std::string& readme) {
    const std::string whole = withoutQuotes(readme);
    if (copier.copiedInThisRun(whole)) return "\"" + whole + "\"";
    const commands::ProgramWord word = commands::splitProgramWord(readme);
    if (word.arguments.empty() ? copier.copiedInThisRun(word.program)
                               : copier.copiedInThisRun(withoutQuotes(word.arguments)))
        return readme;
    return std::nullopt;
}

// The readme is there to be read: a silent run, or one without a display, has nobody to read
// it and leaves it closed. One that nothing on the machine opens is no failed command.
void startReadme(SetupRun& run, const std::string& command) {
    const RunState& state = run.session.run();
    if (state.silent || !platform::hasDisplay()) return;
    const std::uint32_t error = run.programs->start(command, {}, false);
    if (error == commands::kErrorNoAssociation) {
        run.session.messages().ui().note("The readme " + command +
                                         " was not opened: no program on this machine opens "
                                         "documents (xdg-open is not installed).");
    } else if (error != 0) {
        run.session.messages().show(messages::kCannotExecute, {command, error});
    }
}

// Readme when this run copied the file it names, then Execute; neither is waited for.
void startPrograms(SetupRun& run, const std::string& readme, const std::string& execute) {
    OperationContext& context = run.session.context();
    const RunState& state = context.run;
    if (state.uninstall || state.commandList) return;
    if (!readme.empty() && !state.admin && !state.perUserPart) {
        if (const auto command = readmeCommand(run.services->copy().copier(), readme))
            startReadme(run, *command);
    }
    if (!execute.empty()) (void)records::startProgram(context, *run.programs, execute, false);
}

bool work(SetupRun& run) {
    OperationContext& context = run.session.context();
    const RunState& state = context.run;
    readExistingInstance(run);
    const Expander expander = context.expander();
    // Command lines: a directory's value is one word of them, whatever blanks it holds.
    const auto commandLine = [&expander](std::string_view text) {
        const ExpandedText expanded = expander.expandMarked(text);
        return commands::programCommandLine(expanded.text, expanded.place);
    };
    const std::string readme = commandLine(context.settings.readme);
    const std::string execute = commandLine(context.settings.execute);
    composeCommands(run);
    run.services->prompts().setRun(promptRunOf(context));
    if (!processWorkList(run)) return false;
    if (!state.admin) {
        if (!state.uninstall && !state.silent) run.services->copy().finish();
        if (!updateRecords(run)) return false;
    }
    startPrograms(run, readme, execute);
    if (state.workstation && !state.uninstall && !state.commandList &&
        !usesProgramManager(run.session.machine()) && !createWorkstationLinks(context))
        return false;
    if (state.admin && !state.commandList &&
        !markAdministratorCopy(context, *run.components, run.askOptions))
        return false;
    // Fonts need no announcement here: Wine reads the Fonts folder and its registry value
    // whenever a program of the root starts, and no program of ours keeps a font list.
    return !state.abort;
}

}  // namespace

bool installProduct(SetupRun& run) {
    if (!makeWorkServices(run)) return false;
    openProgress(run);
    openCommandList(run);
    if (!beginTransaction(run)) return false;
    std::optional<copy::CommandList> list;
    if (run.commandList.is_open()) {
        list.emplace(run.commandList,
                     run.session.run().commandListLevel == 1 ? copy::CommandList::Form::Batch
                                                             : copy::CommandList::Form::List,
                     run.commandListPath);
        run.services->copy().copier().setCommandList(&*list);
    }
    const bool done = work(run);
    run.services->copy().copier().setCommandList(nullptr);
    if (!done) run.session.run().abort = true;
    return done;
}

}  // namespace kestrel::setup
