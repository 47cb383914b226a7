#include "program/SetupSession.h"

#include <algorithm>
#include <tuple>

#include "messages/MessageStrings.h"

#include "platform/AsciiCase.h"
#include "platform/FileChecks.h"
#include "platform/Locale.h"
#include "platform/ProfileFunctions.h"
#include "program/SourceDirectory.h"
#include "program/SystemLanguage.h"
#include "script/ScriptLocation.h"
#include "script/SetupCommandLine.h"
#include "script/StringSections.h"
#include "script/SystemVariables.h"

namespace kestrel::setup {

namespace fs = std::filesystem;

StringTable loadInstallerStrings(const fs::path& programDirectory) {
    StringTable strings;
    if (!programDirectory.empty())
        strings.loadLanguageFile(programDirectory / StringTable::kLanguageFileName);
    return strings;
}

void useInstallerHelpFile(MessageEngine& messages, const fs::path& programDirectory) {
    const fs::path help = programDirectory / MessageEngine::kHelpFileName;
    if (!programDirectory.empty() && platform::isRegularFile(help)) messages.setHelpFile(help);
}

bool namesHostFile(const std::string& word) {
    std::error_code ec;
    return fs::exists(word, ec);
}

SetupSession::SetupSession(Ui& ui, LazyMachineRoot& machine, Environment& environment,
                           const fs::path& programDirectory, std::time_t start)
    : machines_(machine),
      start_(start),
      environment_(environment),
      programDirectory_(programDirectory),
      strings_(loadInstallerStrings(programDirectory)),
      messages_(ui, strings_) {
    useInstallerHelpFile(messages_, programDirectory);
    if (platform::MachineRoot* open = machines_.opened()) useMachine(*open);
}

void SetupSession::useMachine(platform::MachineRoot& machine) {
    machine_ = &machine;
    registry_.emplace(machine, environment_);
    initialiseSystemVariables(variables_, machine, start_);
    if (machineOpened_) machineOpened_(machine);
}

// Making a new root takes Wine a while (wineboot --init, some twenty seconds): the person
// sees what is going on meanwhile, in a window of its own or as one line on the console.
void SetupSession::showPreparing(bool visible) {
    ProgressView view;
    view.visible = visible;
    view.cancelVisible = false;
    view.meterVisible = false;
    view.title = messages_.caption();
    view.firstLabel = "Preparing the Windows environment in";
    view.first = codePage().fromUtf8(machines_.prefix().string());
    view.placement.popup = true;
    messages_.ui().showProgress(view);
}

bool SetupSession::openMachine() {
    if (machine_ != nullptr) return true;
    if (machineUnusable_) return false;
    const bool making = !machines_.exists();
    if (making) showPreparing(true);
    auto opened = machines_.open();
    if (making) showPreparing(false);
    machineUnusable_ = true;
    if (!opened) {
        messages_.note("Cannot use the Windows installation in %s:\n%s",
                       {codePage().fromUtf8(machines_.prefix().string()),
                        codePage().fromUtf8(opened.error())});
        return false;
    }
    platform::MachineRoot& machine = **opened;
    if (!machine.registry().throughWineServer() && machine.wineServerRunning()) {
        // Its registry lives in memory and would overwrite whatever we wrote to the files.
        messages_.note(
            "A wineserver is running for %s. Stop it (wineserver -k) and start Setup again.",
            {platform::ansiCodePage(machine.registry()).fromUtf8(machine.prefix().string())});
        return false;
    }
    machineUnusable_ = false;
    useMachine(machine);
    return true;
}

const platform::CodePage& SetupSession::codePage() const {
    return machine_ != nullptr ? platform::ansiCodePage(machine_->registry())
                               : platform::CodePage::windows1252();
}

Expander SetupSession::expander() const {
    return Expander({&variables_, &environment_, registry_ ? &*registry_ : nullptr, machine_});
}

bool SetupSession::parseCommandLine(const std::vector<std::string>& words) {
    // The command line is UTF-8, as the host gives it; the run keeps installer text, in the
    // code page of the root where there is one, and expands its variables.
    const bool expands = std::ranges::any_of(
        words, [](const std::string& word) { return word.find('%') != std::string::npos; });
    if ((expands || machines_.exists()) && !openMachine()) return false;
    const platform::CodePage& installer = codePage();
    std::vector<std::string> installerWords;
    for (const std::string& word : words) installerWords.push_back(installer.fromUtf8(word));
    const Expander expand = expander();
    parseSetupCommandLine(
        installerWords, run_, [&](std::string_view text) { return expand.expand(text); },
        [&](const std::string& word) { return namesHostFile(installer.toUtf8(word)); });
    return true;
}

void SetupSession::useScript(ScriptText script, const std::string& windowsPath) {
    script_.emplace(std::move(script));
    context_.reset();
    variables_.set("SetupInf", windowsPath);
    variables_.setDirectory("Src", run_.sourceDirectory.value_or(windowsDirectoryOf(windowsPath)));
}

bool SetupSession::loadScript(const fs::path& currentDirectory) {
    // Without a root yet the script is looked for through the drives a new one gets.
    if (scriptSearchNeedsRoot(run_.scriptWord) && !openMachine()) return false;
    const platform::WindowsPathMap paths =
        machine_ != nullptr ? machine_->paths()
                            : platform::WindowsPathMap(machines_.prefix(), codePage());
    const ScriptLocation location =
        locateScript(run_.scriptWord, paths, currentDirectory, programDirectory_, expander());
    auto loaded = ScriptText::load(location.host, location.windows);
    if (!loaded) {
        messages_.show(loaded.error().message, {loaded.error().path});
        return false;
    }
    // /P may name a host folder, as the script word may name a host file, absolute or from
    // the current folder: the root sees it through its drives. A Windows path has a drive or
    // begins with a backslash.
    const auto windowsForm = [](std::string_view path) {
        return path.starts_with('\\') || (path.size() >= 2 && path[1] == ':');
    };
    if (run_.sourceDirectory && !windowsForm(*run_.sourceDirectory)) {
        std::string host = codePage().toUtf8(*run_.sourceDirectory);
        while (host.size() > 1 && (host.back() == '\\' || host.back() == '/')) host.pop_back();
        const fs::path folder = currentDirectory / host;
        std::error_code ec;
        if (fs::is_directory(folder, ec))
            run_.sourceDirectory =
                withTrailingBackslash(paths.windowsPath(folder.lexically_normal().string()));
    }
    useScript(std::move(loaded.value()), location.windows);
    scriptFile_ = location.host;
    return true;
}

bool SetupSession::putIntoEnvironment(const std::string& name, const std::string& value) {
    if (environment_.set(name, value)) return true;
    messages_.show(messages::kOutOfMemory);
    return false;
}

bool SetupSession::readSettings() {
    if (!openMachine()) return false;
    const ScriptText& script = *script_;
    setupSection_ = readSetupSection(script);

    const fs::path winIni = machine_->profileFile("win.ini");
    const platform::CodePage& installer = codePage();
    for (const std::string& key : platform::getProfileKeys(winIni, "SetupServiceEnvironment")) {
        const std::string value =
            platform::getProfileString(winIni, "SetupServiceEnvironment", key, "", 8192);
        if (!putIntoEnvironment(installer.fromUtf8OrBytes(platform::asciiUpper(key)),
                                installer.fromUtf8OrBytes(value)))
            return false;
    }
    // The texts follow the person's language, the system's names the system's own.
    const Expander expand = expander();
    for (const auto& [base, overrideKey, language] :
         {std::tuple<const char*, const char*, std::optional<platform::LanguageId>>{
              "Strings", "UseStringSection", platform::userDefaultLanguage()},
          {"SysStrings", "UseSysStringSection", systemLanguage(*machine_)}}) {
        const std::string overrideName = script.readValue("Application", overrideKey).value_or("");
        const std::string section = chooseStringSection(script, base, language, overrideName);
        if (!loadStringSection(script, section, expand, environment_)) {
            messages_.show(messages::kOutOfMemory);
            return false;
        }
    }

    auto settings =
        readApplicationSettings(script, setupSection_.scriptVersion, variables_, expand, *machine_);
    if (!settings) {
        messages_.show(settings.error().message, settings.error().args);
        return false;
    }
    settings_ = std::move(*settings);
    applySettingsToVariables(variables_, settings_, *machine_);
    variables_.setDirectory("SetupInfDir", settings_.setupInfDir);

    sourceBeforeSrcDir_ = variables_.value("Src");
    if (!settings_.srcDir.empty())
        variables_.setDirectory(
            "Src", sourceWithSrcDir(sourceBeforeSrcDir_, expand.expand(settings_.srcDir)));
    // /AW: a workstation installation, which is no administrator installation.
    if (run_.workstation) run_.admin = false;
    // Checked before the run's kind is decided: nothing (an earlier version, a user's part)
    // is removed for a script that cannot be installed.
    if (setupSection_.scriptVersion <= 0x300) {
        messages_.show(messages::kOldScriptSyntax, {variables_.value("SetupInf")});
        return false;
    }
    return true;
}

bool SetupSession::loadEnvironmentSection() {
    if (loadStringSection(*script_, "Environment", expander(), environment_)) return true;
    messages_.show(messages::kOutOfMemory);
    return false;
}

OperationContext& SetupSession::context() {
    if (!context_) {
        context_.reset(new OperationContext{run_, *script_, settings_, variables_, environment_,
                                            *registry_, messages_, variables_.value("SetupName")});
    }
    return *context_;
}

}  // namespace kestrel::setup
