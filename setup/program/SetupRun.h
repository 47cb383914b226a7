#pragma once

#include <memory>
#include <optional>
#include <string>

#include "components/ComponentList.h"
#include "program/ExtensionHook.h"
#include "program/SetupSession.h"
#include "wizard/PageHost.h"
#include "wizard/PromptAnswers.h"

namespace kestrel::setup {

// What one run carries from the script's load to its end, beyond the session: the steps of
// the run (kind, preparation, wizard, installation, end) read and fill it in that order.
struct SetupRun {
    explicit SetupRun(SetupSession& runSession) : session(runSession), hook(runSession) {}

    SetupSession& session;
    ExtensionHook hook;  // no module loaded: every event is answered yes

    // Switches as the command line gave them, before pages changed the flags.
    bool clientSwitch = false;  // /C
    bool fromCDSwitch = false;  // /D
    // The run's kind as decided.
    bool askOptions = false;       // AskOptions of the run's kind
    bool askDir = false;           // AskDir as the run's kind leaves it
    bool recordsReadBack = false;  // the registered data were read back
    std::string sourceBeforeSrcDir;  // Src before [Application] SrcDir applied

    // The wizard and the work.
    std::optional<PageHost> pages;  // made once the root is open
    std::optional<ComponentList> components;
    PromptAnswers answers;
    bool failed = false;  // a step failed: the rest is skipped, the exit code is -1
};

}  // namespace kestrel::setup
