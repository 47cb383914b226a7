#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "messages/MessageEngine.h"
#include "messages/StringTable.h"
#include "ops/OperationContext.h"
#include "platform/MachineRoot.h"
#include "program/LazyMachineRoot.h"
#include "script/BuiltinVariables.h"
#include "script/Environment.h"
#include "script/RunState.h"
#include "script/ScriptText.h"
#include "script/Settings.h"
#include "ui/BackgroundWindow.h"

namespace kestrel::setup {

// The installer's strings, with those of the language file beside the program.
StringTable loadInstallerStrings(const std::filesystem::path& programDirectory);
// Gives the messages the installer's help file beside the program, where there is one.
void useInstallerHelpFile(MessageEngine& messages, const std::filesystem::path& programDirectory);
// Whether a command-line word names an existing host file (such a word names the script).
bool namesHostFile(const std::string& word);

// One run of the installer and everything it holds: the machine root, the strings and the
// message engine, the variables, the environment, the run state, the script and its
// settings. The start-up steps are methods, each reporting through the message engine and
// returning false when the run cannot go on. The root is opened (or made) by the first step
// that needs it: its registry, its drives, its variables, or its code page for the command
// line when it exists already. Until then installer text is Windows-1252, as a new root's.
class SetupSession {
  public:
    SetupSession(Ui& ui, LazyMachineRoot& machine, Environment& environment,
                 const std::filesystem::path& programDirectory,
                 std::time_t start = std::time(nullptr));
    SetupSession(const SetupSession&) = delete;
    SetupSession& operator=(const SetupSession&) = delete;

    // Called with the root when the session opens it (the front end takes its code page).
    void onMachineOpened(std::function<void(platform::MachineRoot&)> opened) {
        machineOpened_ = std::move(opened);
    }
    // Opens the root unless it is open; false, said once, when it cannot be used (made,
    // read, or written while a wineserver holds its registry).
    bool openMachine();
    // The code page of installer text: the root's, Windows-1252 before it is open.
    const platform::CodePage& codePage() const;

    bool parseCommandLine(const std::vector<std::string>& words);
    // Finds and loads the script (5501, 5502 when it cannot be read). Sets SetupInf and Src.
    bool loadScript(const std::filesystem::path& currentDirectory);
    // The script given as text, for tests and tools; named `windowsPath`.
    void useScript(ScriptText script, const std::string& windowsPath);
    // WIN.INI's SetupServiceEnvironment, the string sections, [Application], SrcDir, /AW, the
    // script version check (5532). Needs the script and the root.
    bool readSettings();
    // [Environment] into the environment, its values expanded with the variables as the
    // run's kind has left them (5500 when an entry cannot be made).
    bool loadEnvironmentSection();

    MessageEngine& messages() { return messages_; }
    const StringTable& strings() const { return strings_; }
    RunState& run() { return run_; }
    BuiltinVariables& variables() { return variables_; }
    Environment& environment() { return environment_; }
    // Once the root is open:
    RegistryServices& registry() { return *registry_; }
    platform::MachineRoot& machine() { return *machine_; }
    const ScriptText& script() const { return *script_; }
    // The host file of a script that loadScript found.
    const std::filesystem::path& scriptFile() const { return scriptFile_; }
    const ApplicationSettings& settings() const { return settings_; }
    const SetupSection& setupSection() const { return setupSection_; }
    // Src as it was before [Application] SrcDir applied (the script's own directory or /P).
    const std::string& sourceBeforeSrcDir() const { return sourceBeforeSrcDir_; }
    Expander expander() const;
    // The main window behind the wizard (nullptr on the console or before it is made).
    BackgroundWindow* mainWindow() const { return mainWindow_; }
    void setMainWindow(BackgroundWindow* window) { mainWindow_ = window; }
    // The context the operations work in (valid while the session lives; needs the script).
    OperationContext& context();

  private:
    bool putIntoEnvironment(const std::string& name, const std::string& value);
    void showPreparing(bool visible);
    void useMachine(platform::MachineRoot& machine);

    LazyMachineRoot& machines_;
    platform::MachineRoot* machine_ = nullptr;
    bool machineUnusable_ = false;  // said so already
    std::function<void(platform::MachineRoot&)> machineOpened_;
    std::time_t start_;
    Environment& environment_;
    std::filesystem::path programDirectory_;
    StringTable strings_;
    MessageEngine messages_;
    BuiltinVariables variables_;
    std::optional<RegistryServices> registry_;
    RunState run_;
    std::optional<ScriptText> script_;
    std::filesystem::path scriptFile_;
    SetupSection setupSection_;
    std::string sourceBeforeSrcDir_;
    ApplicationSettings settings_;
    std::unique_ptr<OperationContext> context_;
    BackgroundWindow* mainWindow_ = nullptr;
};

}  // namespace kestrel::setup
