#include "wizard/PageConditions.h"

namespace kestrel::setup {

namespace {

// The runs that ask nothing of the product's set-up again: they take what was registered.
bool registeredRun(const RunState& run) {
    return run.uninstall || run.repeat || run.maintenance;
}

}  // namespace

bool pageApplies(WizardSequence::Slot slot, const WizardFacts& facts) {
    const RunState& run = facts.run;
    const ApplicationSettings& settings = facts.settings;
    const bool quietOrRegistered = run.silent || registeredRun(run);
    switch (slot) {
        case WizardSequence::kLicence:
            return settings.askLicence && !quietOrRegistered && !run.perUserPart;
        case WizardSequence::kInfo:
            return settings.askInfo && !quietOrRegistered && !run.perUserPart;
        case WizardSequence::kFromCD:
            return settings.askFromCD && !facts.fromCDSwitch && !run.adminCopy &&
                   !quietOrRegistered && !run.admin && !run.perUserPart;
        case WizardSequence::kShared:
            return settings.askShared && run.adminCopy && !facts.clientSwitch && !run.localOnly &&
                   !quietOrRegistered && !run.admin && !run.perUserPart;
        case WizardSequence::kMode:
            return settings.askMode && !quietOrRegistered && !run.admin && !run.workstation;
        case WizardSequence::kAppDir:
            return facts.askDir && !quietOrRegistered;
        case WizardSequence::kDataDir:
            return settings.askDataDir && !quietOrRegistered && !run.admin && !run.workstation;
        case WizardSequence::kUser:
            return settings.askUser && !quietOrRegistered && !run.adminCopy && !run.perUserPart;
        case WizardSequence::kPrompts:
            return true;
        case WizardSequence::kOptions:
            return run.mode == SetupMode::Custom && run.options.empty() && !run.silent &&
                   !run.uninstall && !run.repeat;
        case WizardSequence::kSlots:
            break;
    }
    return false;
}

SetupMode modeWithoutPage(const WizardFacts& facts) {
    const RunState& run = facts.run;
    if (!run.admin && !run.workstation && !run.client) return SetupMode::Custom;
    return facts.askOptions ? SetupMode::Custom : SetupMode::Full;
}

std::string_view applicationDirectoryVariable(const RunState& run) {
    return !run.workstation && (run.client || run.fromCD) ? "Client" : "App";
}

}  // namespace kestrel::setup
