#pragma once

#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "commands/ProgramStarter.h"
#include "components/ComponentList.h"
#include "platform/ChangeJournal.h"
#include "program/ExtensionHook.h"
#include "program/SetupSession.h"
#include "wizard/PageHost.h"
#include "wizard/PromptAnswers.h"

namespace kestrel::setup {

class InstallServices;

// What one run carries from the script's load to its end, beyond the session: the steps of
// the run (kind, preparation, wizard, installation, end) read and fill it in that order.
struct SetupRun {
    explicit SetupRun(SetupSession& runSession);
    ~SetupRun();
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    SetupSession& session;
    ExtensionHook hook;  // no module loaded: every event is answered yes

    // Switches as the command line gave them, before pages changed the flags.
    bool clientSwitch = false;  // /C
    bool fromCDSwitch = false;  // /D
    // The run's kind as decided.
    bool askOptions = false;         // AskOptions of the run's kind
    bool askDir = false;             // AskDir as the run's kind leaves it
    bool recordsReadBack = false;    // the registered data were read back
    std::string sourceBeforeSrcDir;  // Src before [Application] SrcDir applied

    // The installer's own Windows path on the root (the program that removes a user's part).
    std::string installerPath;
    std::unique_ptr<commands::ProgramStarter> programs;  // made once the root is open
    // The directory current when the program started, as a Windows path: pictures and
    // sounds are looked for there too.
    std::string startDirectory;

    // The wizard and the work.
    std::optional<PageHost> pages;              // made once the root is open
    std::unique_ptr<InstallServices> services;  // made before the component list
    std::optional<ComponentList> components;
    PromptAnswers answers;
    // A new instance: the application folder of the instance it is installed beside.
    std::string existingInstancePath;
    // The command list (/T) while it is written.
    std::ofstream commandList;
    std::string commandListPath;  // Windows path
    // What the work changes, written down before each change (RunTransaction.h).
    std::unique_ptr<platform::ChangeJournal> journal;
    bool failed = false;  // a step failed: the rest is skipped, the exit code is -1
};

}  // namespace kestrel::setup
