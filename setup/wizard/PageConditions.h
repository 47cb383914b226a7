// When each page of the wizard's sequence is shown, from the run's kind and the script's
// Ask... settings; and what a page works on when that depends on the run.
#pragma once

#include <string_view>

#include "script/RunState.h"
#include "script/Settings.h"
#include "wizard/WizardSequence.h"

namespace kestrel::setup {

struct WizardFacts {
    const RunState& run;
    const ApplicationSettings& settings;
    bool fromCDSwitch = false;  // /D: the CD was named on the command line, not on FROMCD
    bool clientSwitch = false;  // /C
    bool askDir = false;        // AskDir as the client settings leave it (re-read after SHARED)
    bool askOptions = false;    // AskOptions of the run's kind
};

// Whether the slot's page is shown (the prompt group's slot: whether prompts may be asked
// at all; each prompt then decides for itself).
bool pageApplies(WizardSequence::Slot slot, const WizardFacts& facts);

// The setup mode when the MODE page is not shown.
SetupMode modeWithoutPage(const WizardFacts& facts);

// The variable the application directory's page edits: Client (the client directory) in a client or
// start-from-CD run that is no workstation installation, else App.
std::string_view applicationDirectoryVariable(const RunState& run);

}  // namespace kestrel::setup
