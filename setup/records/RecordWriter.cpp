#include "records/RecordWriter.h"

#include "copy/IgnoreOrCancel.h"
#include "platform/CommandLine.h"
#include "records/RecordKeys.h"

namespace kestrel::setup::records {

namespace {

using platform::RegistryRoot;

class RecordWriter {
  public:
    RecordWriter(OperationContext& context, const InstallerProgram& installer)
        : context_(context),
          installer_(installer),
          run_(context.run),
          settings_(context.settings),
          root_(recordRoot(context.run)),
          setup_(setupKey(context.settings.machineKeyName)) {}

    bool write(const PromptAnswers& answers) {
        return promptAnswers(answers) && setupValues() && machineRecords() && uninstallEntry() &&
               userMark();
    }

  private:
    bool put(RegistryRoot root, const std::string& key, std::string_view name,
             std::string_view text) {
        const long error = context_.registry.writeString(root, key, name, text);
        return error == 0 ||
               copy::ignoreOrCancel(context_, messages::kCannotCreateKey, {name, error});
    }
    // Deleting what is not there is no failure.
    void drop(RegistryRoot root, const std::string& key, std::string_view name) {
        (void)context_.registry.deleteValue(root, key, name);
    }
    std::string variable(std::string_view name) const { return context_.variables.value(name); }
    std::string expanded(std::string_view text) const { return context_.expander().expand(text); }
    std::string dateText() const { return variable("SysDate") + " " + variable("SysTime"); }

    bool promptAnswers(const PromptAnswers& answers) {
        const std::string key = setupKey(settings_.machineKeyName, "Prompts");
        for (const PromptAnswer& answer : answers.entries()) {
            if (!put(root_, key, answer.name, answer.value)) return false;
        }
        return true;
    }

    bool setupValues() {
        if (!variable("App").empty() && !put(root_, setup_, "AppPath", expanded("%App%")))
            return false;
        if ((run_.client || run_.fromCD) && !run_.workstation &&
            !put(root_, setup_, "ClientPath", expanded("%Client%")))
            return false;
        drop(root_, setup_, "Version");
        drop(root_, setup_, "Revision");
        for (const char* name : {"ProductName", "DeveloperName", "Version", "Revision"}) {
            if (!variable(name).empty() && !put(root_, setup_, name, variable(name))) return false;
        }
        if (settings_.askDataDir && !run_.workstation &&
            !put(root_, setup_, "DataPath", expanded("%Data%")))
            return false;
        return put(root_, setup_, "Date", dateText());
    }

    bool machineRecords() {
        if (run_.perUserPart || settings_.serviceRelease) return true;
        const RegistryRoot machine = RegistryRoot::LocalMachine;
        for (const auto& [name, value] :
             {std::pair<const char*, std::string>{"UninstallString", variable("UninstallString")},
              {"RegisteredOwner", variable("User")},
              {"RegisteredOrganization", variable("Company")}}) {
            if (!value.empty() && !put(machine, setup_, name, value)) return false;
        }
        if (!variable("Src").empty() && !put(machine, setup_, "SrcPath", expanded("%Src%")))
            return false;
        // Started by another installer (/W): the copy in the source directory is the one to
        // start again, with the script beside it.
        const bool fromCaller = run_.notifyWindow.has_value();
        if (!put(machine, setup_, "SrcSetupExe",
                 fromCaller ? variable("Src") + "Setup.exe" : installer_.path) ||
            !put(machine, setup_, "SrcSetupInf", fromCaller ? "" : variable("SetupInf")))
            return false;
        for (const auto& [name, applies] :
             {std::pair<const char*, bool>{"FromAdminSetup", run_.adminCopy},
              {"MachineSetup", run_.workstation},
              {"SharedSetup", run_.client},
              {"FromCD", run_.fromCD}}) {
            drop(machine, setup_, name);
            if (applies && !put(machine, setup_, name, "1")) return false;
        }
        return true;
    }

    bool uninstallEntry() {
        if (!namesSubkey(settings_.uninstallKeyName) || settings_.uninstallDisplayName.empty())
            return true;
        const std::string entry = uninstallEntryKey(settings_.uninstallKeyName);
        if (run_.perUserPart) {
            return put(root_, entry, "QuietDisplayName", settings_.uninstallDisplayName) &&
                   put(root_, entry, "UninstallString", perUserUninstallCommand()) &&
                   put(root_, entry, "MachineKeyName", settings_.machineKeyName);
        }
        // A hidden entry keeps its name where the list does not look.
        const bool hidden = settings_.hideUninstall >= 1;
        drop(root_, entry, hidden ? "DisplayName" : "QuietDisplayName");
        if (!put(root_, entry, hidden ? "QuietDisplayName" : "DisplayName",
                 settings_.uninstallDisplayName))
            return false;
        if (settings_.serviceRelease) return true;
        const bool reinstall = settings_.reinstallMode != 0 || run_.workstation;
        return put(root_, entry, "UninstallString",
                   variable(reinstall ? "ReinstallString" : "UninstallString")) &&
               put(root_, entry, "MachineKeyName", settings_.machineKeyName);
    }

    // The installer the workstation installation recorded, run on its script with /U.
    std::string perUserUninstallCommand() const {
        const auto machineRecord = [&](std::string_view name) {
            return readRecord(context_.registry, RegistryRoot::LocalMachine, setup_, name);
        };
        const std::string program = machineRecord("SrcSetupExe");
        const std::string script = machineRecord("SrcSetupInf");
        std::string command =
            program.find(' ') == std::string::npos ? program : '"' + program + '"';
        if (!script.empty()) command += " " + platform::quoteArgument(script);
        return command + " /U";
    }

    bool userMark() {
        if (!run_.perUserPart) return true;
        return put(RegistryRoot::LocalMachine, setupKey(settings_.machineKeyName, "Users"),
                   variable("WindowsUser"), dateText());
    }

    OperationContext& context_;
    const InstallerProgram& installer_;
    const RunState& run_;
    const ApplicationSettings& settings_;
    const RegistryRoot root_;
    const std::string setup_;
};

}  // namespace

bool writeRecords(OperationContext& context, const PromptAnswers& answers,
                  const InstallerProgram& installer) {
    if (context.run.admin || !namesSubkey(context.settings.machineKeyName)) return true;
    return RecordWriter(context, installer).write(answers);
}

}  // namespace kestrel::setup::records
