#include "program/SetupProgram.h"

#include "messages/MessageStrings.h"
#include "program/ScriptPrecheck.h"
#include "program/SetupSession.h"
#include "script/SetupCommandLine.h"
#include "ui/CodePageUi.h"

namespace kestrel::setup {

namespace {

// On a prefix that does not exist yet, a script that cannot be loaded is reported before
// the root is made: a run that ends there must leave nothing behind. True when it did.
bool reportedUnloadableScript(const SetupStart& start, CodePageUi& ui) {
    std::error_code ec;
    if (std::filesystem::exists(start.prefix, ec) || ec) return false;
    RunState words;
    parseSetupCommandLine(
        start.arguments, words, [](std::string_view text) { return std::string(text); },
        namesHostFile);
    const auto error = unloadableScript(words.scriptWord, start.currentDirectory,
                                        start.programDirectory, ui.codePage());
    if (!error) return false;
    const StringTable strings = loadInstallerStrings(start.programDirectory);
    MessageEngine messages(ui, strings);
    useInstallerHelpFile(messages, start.programDirectory);
    messages.show(error->message, {error->path});
    return true;
}

}  // namespace

int runSetup(const SetupStart& start, Ui& frontEnd) {
    CodePageUi ui(frontEnd);
    // The usage message needs no machine root: asking for it must not create one.
    if (asksForUsage(start.arguments)) {
        const StringTable strings = loadInstallerStrings(start.programDirectory);
        MessageEngine(ui, strings).show(messages::kUsage);
        return kExitSuccess;
    }
    if (reportedUnloadableScript(start, ui)) return kExitFailure;
    platform::MachineRootOptions options;
    options.newRoot = platform::NewRoot::WineWhereInstalled;
    auto machine = platform::MachineRoot::open(start.prefix, options);
    if (!machine) {
        StringTable strings;
        MessageEngine(ui, strings)
            .note("Cannot use the Windows installation in %s:\n%s",
                  {ui.codePage().fromUtf8(start.prefix.string()),
                   ui.codePage().fromUtf8(machine.error())});
        return kExitFailure;
    }
    ui.setCodePage(platform::ansiCodePage((*machine)->registry()));
    ProcessEnvironment environment;
    SetupSession session(ui, **machine, environment, start.programDirectory);
    session.parseCommandLine(start.arguments);
    if ((*machine)->wineServerRunning()) {
        // Its registry lives in memory and would overwrite whatever we wrote to the files.
        session.messages().note(
            "A wineserver is running for %s. Stop it (wineserver -k) and start Setup again.",
            {ui.codePage().fromUtf8((*machine)->prefix().string())});
        return kExitFailure;
    }
    if (!session.loadScript(start.currentDirectory)) return kExitFailure;
    // Relative names in the script (pictures, sounds) are found from its directory.
    std::error_code ec;
    std::filesystem::current_path(session.scriptFile().parent_path(), ec);
    if (!session.readSettings()) return kExitFailure;
    return kExitSuccess;
}

}  // namespace kestrel::setup
