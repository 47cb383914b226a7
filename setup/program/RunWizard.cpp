#include "program/RunWizard.h"

#include <array>
#include <functional>

#include "components/ComponentListReader.h"
#include "components/ComponentSizes.h"
#include "components/OptionsStep.h"
#include "messages/MessageStrings.h"
#include "program/FinalDirectories.h"
#include "program/InstallServices.h"
#include "script/Fields.h"
#include "wizard/PageConditions.h"
#include "wizard/Pages.h"

namespace kestrel::setup {

namespace {

// The pages of one pass through the wizard, over the run: each slot's step shows its page
// when its condition holds and takes what the person chose into the run and its variables.
class RunWizard {
  public:
    explicit RunWizard(SetupRun& run)
        : run_(run),
          session_(run.session),
          state_(session_.run()),
          context_(session_.context()),
          lastClient_(state_.client),
          lastFromCD_(state_.fromCD) {}

    bool run() {
        WizardSequence sequence;
        guard(sequence, WizardSequence::kLicence, &RunWizard::licence);
        guard(sequence, WizardSequence::kInfo, &RunWizard::info);
        guard(sequence, WizardSequence::kFromCD, &RunWizard::fromCD);
        sequence.setStep(WizardSequence::kShared,
                         [this](Travel travel, bool back) { return shared(travel, back); });
        sequence.setStep(WizardSequence::kMode, [this](Travel, bool back) { return mode(back); });
        guard(sequence, WizardSequence::kAppDir, &RunWizard::applicationDirectory);
        guard(sequence, WizardSequence::kDataDir, &RunWizard::dataDirectory);
        guard(sequence, WizardSequence::kUser, &RunWizard::user);
        sequence.setPrompts(promptSteps());
        sequence.setStep(WizardSequence::kOptions,
                         [this](Travel, bool back) { return options(back); });
        return sequence.run() == PageResult::Next;
    }

  private:
    WizardFacts facts() const {
        return WizardFacts{state_,      context_.settings, run_.fromCDSwitch, run_.clientSwitch,
                           run_.askDir, run_.askOptions};
    }
    // The slot's page where its condition holds, nothing otherwise.
    void guard(WizardSequence& sequence, WizardSequence::Slot slot,
               PageResult (RunWizard::*page)(bool backEnabled)) {
        sequence.setStep(slot, [this, slot, page](Travel, bool back) -> std::optional<PageResult> {
            if (!pageApplies(slot, facts())) return std::nullopt;
            return (this->*page)(back);
        });
    }
    PageFrame frame() const { return run_.pages->frame(); }
    PageResult show(WizardPage& page, bool back) { return run_.pages->show(page, back); }
    std::string expanded(std::string_view text) const { return context_.expander().expand(text); }
    // The texts of the main window that show the variables are drawn again.
    void repaint() {
        if (BackgroundWindow* window = session_.mainWindow()) window->variablesChanged();
    }

    PageResult licence(bool back) {
        WizardPage page =
            licencePage(frame(), unescapeText(expanded(context_.settings.licenceText)));
        return show(page, back);
    }
    PageResult info(bool back) {
        WizardPage page = infoPage(frame(), unescapeText(expanded(context_.settings.infoText)));
        return show(page, back);
    }
    PageResult fromCD(bool back) {
        WizardPage page = fromCdPage(frame(), state_.fromCD);
        const PageResult result = show(page, back);
        if (result == PageResult::Next) state_.fromCD = page.chosen == 1;
        return result;
    }

    std::optional<PageResult> shared(Travel travel, bool back) {
        std::optional<PageResult> result;
        if (pageApplies(WizardSequence::kShared, facts())) {
            WizardPage page = sharedPage(frame(), state_.client);
            result = show(page, back);
            if (result == PageResult::Next) state_.client = page.chosen == 1;
        }
        const bool onwards = result ? *result == PageResult::Next : travel == Travel::Forward;
        if (onwards && !state_.admin) afterShared();
        return result;
    }

    // What a client or CD run changes: the sizes of the work, which AskDir counts and
    // where the client directory is.
    void afterShared() {
        if (state_.client != lastClient_ || state_.fromCD != lastFromCD_) {
            lastClient_ = state_.client;
            lastFromCD_ = state_.fromCD;
            if (run_.components && run_.services)
                computeSizes(*run_.components, run_.services->ownSize());
        }
        const bool clientOrCD = state_.client || state_.fromCD;
        const ScriptText& script = session_.script();
        run_.askDir = clientOrCD
                          ? readNumber(script.readValue("Client", "AskDir").value_or("")) != 0
                          : context_.settings.askDir;
        if (clientOrCD && state_.workstation) {
            run_.askDir = false;
        } else if (clientOrCD && session_.variables().value("Client").empty()) {
            const std::string dir = script.readValue("Client", "ClientDir").value_or("%App%");
            session_.variables().setDirectory("Client", expanded(dir));
        }
    }

    std::optional<PageResult> mode(bool back) {
        const WizardFacts now = facts();
        if (!pageApplies(WizardSequence::kMode, now)) {
            state_.mode = modeWithoutPage(now);
            return std::nullopt;
        }
        std::array<std::string, 3> sizes;
        const std::string decimal = decimalSeparator(session_.machine());
        const SetupMode modes[] = {SetupMode::Full, SetupMode::Standard, SetupMode::Custom};
        for (std::size_t i = 0; i < sizes.size(); ++i)
            sizes[i] = run_.components
                           ? modeSizeText(neededSize(*run_.components, modes[i]), decimal)
                           : std::string();
        WizardPage page = modePage(frame(), state_.mode, sizes);
        const PageResult result = show(page, back);
        if (result == PageResult::Next) state_.mode = chosenMode(page);
        return result;
    }

    PageResult applicationDirectory(bool back) {
        return directory(PageKind::GetDir, strings::kApplicationDirText,
                         applicationDirectoryVariable(state_), back);
    }
    PageResult dataDirectory(bool back) {
        return directory(PageKind::GetDataDir, strings::kDataDirText, "Data", back);
    }
    PageResult directory(PageKind kind, int text, std::string_view variable, bool back) {
        BuiltinVariables& variables = session_.variables();
        WizardPage page = directoryPage(frame(), kind, session_.strings().text(text),
                                        expanded("%" + std::string(variable) + "%"));
        const PageResult result = show(page, back);
        if (result == PageResult::Next) {
            variables.setDirectory(variable, chosenDirectory(page));
            repaint();
        }
        return result;
    }

    PageResult user(bool back) {
        BuiltinVariables& variables = session_.variables();
        UserPageSetup setup;
        setup.user = variables.value("User");
        setup.company = variables.value("Company");
        setup.useCompany = context_.settings.useCompany;
        setup.userReadOnly = !run_.hook.event(ExtensionHook::kEventUserName);
        setup.companyReadOnly = !run_.hook.event(ExtensionHook::kEventCompanyName);
        WizardPage page = userPage(frame(), setup);
        const PageResult result = show(page, back);
        if (result == PageResult::Next) {
            variables.set("User", page.fields[0].text());
            variables.set("Company", page.fields[1].text());
            repaint();
        }
        return result;
    }

    // The prompts of [Application] Prompts, each one step of the group.
    std::vector<WizardStep> promptSteps() {
        std::vector<WizardStep> steps;
        if (!run_.services) return steps;
        for (const std::string& field : splitFields(context_.settings.prompts)) {
            const std::string name(trimBlanks(field));
            if (name.empty()) continue;
            // The run's kind as it is by now: the SHARED page may have changed it.
            steps.push_back([this, name](Travel, bool back) {
                PromptAsker& prompts = run_.services->prompts();
                prompts.setRun(promptRunOf(context_));
                return prompts.ask(name, back);
            });
        }
        return steps;
    }

    std::optional<PageResult> options(bool back) {
        if (!run_.components) return std::nullopt;
        const bool clientRun = !state_.workstation && (state_.client || state_.fromCD);
        const bool pageShown = pageApplies(WizardSequence::kOptions, facts());
        // The page shows the client directory of a client run; the space check goes to the
        // client directory whenever there is one.
        const bool hasClient = !session_.variables().value("Client").empty();
        const std::string target =
            expanded(hasClient && (clientRun || !pageShown) ? "%Client%" : "%App%");
        OptionsStep step(
            *run_.components, *run_.pages, state_,
            componentPageSetup(context_.settings, session_.machine(), session_.strings(),
                               readIconEntries(session_.script(), context_.expander()), target,
                               state_.maintenance));
        return step(back);
    }

    SetupRun& run_;
    SetupSession& session_;
    RunState& state_;
    OperationContext& context_;
    bool lastClient_;
    bool lastFromCD_;
};

}  // namespace

bool runWizard(SetupRun& run) {
    if (!RunWizard(run).run()) return false;
    setFinalDirectories(run.session.run(), run.session.variables());
    return true;
}

}  // namespace kestrel::setup
