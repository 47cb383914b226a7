// Asks the script's prompts: reads a prompt's definition, decides whether it applies to
// the run and which value it starts from (an earlier answer, the default or fallback, the
// answer an earlier installation registered), shows it on the GETVAL page where needed and
// stores the answer in the environment and the answer list.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "script/Environment.h"
#include "script/Expander.h"
#include "script/RegistryReader.h"
#include "script/ScriptText.h"
#include "wizard/PageHost.h"
#include "wizard/Prompt.h"
#include "wizard/PromptAnswers.h"

namespace kestrel::setup {

struct PromptRun {
    PromptRunKind kind;
    bool silent = false;
    // Uninstall, repeat or maintenance with a MachineKeyName: answers come from the registry.
    bool useRegisteredAnswers = false;
    std::string machineKeyName;
};

// Where the GETVAL page stands: in the wizard, or on its own for the script's Prompt command
// (OK instead of Next, no Back).
enum class PromptForm { Wizard, Command };

class PromptAsker {
  public:
    PromptAsker(const ScriptText& script, const Expander& expander, Environment& environment,
                const RegistryReader& registry, PageHost& pages, PromptAnswers& answers)
        : script_(script),
          expander_(expander),
          environment_(environment),
          registry_(registry),
          pages_(pages),
          answers_(answers) {}

    void setRun(PromptRun run) { run_ = std::move(run); }
    // Called when a silent run has to show a page after all (the main window comes up).
    void onSilentPage(std::function<void()> call) { onSilentPage_ = std::move(call); }

    // Asks the named prompt. Nothing when no page was shown (no definition, does not apply,
    // answered without a page); otherwise how the page ended. Cancel also when the answer
    // cannot be stored.
    std::optional<PageResult> ask(std::string_view name, bool backEnabled,
                                  PromptForm form = PromptForm::Wizard);
    // The Prompt command: true when the run goes on (the page ended with OK or none was
    // needed).
    bool askCommand(std::string_view name);

    // The definition as the script gives it (expanded), or nothing for an empty one.
    std::optional<PromptDefinition> definition(std::string_view name) const;

  private:
    // The value the page starts from; `fromFallback` tells whether the fallback gave it.
    std::string startValue(const PromptDefinition& definition, bool& fromFallback) const;
    // The registered answer; nothing (after message 5554) when the page must ask.
    enum class Registered { Found, Ignored, Ask };
    Registered registeredAnswer(const PromptDefinition& definition, std::string& value);
    WizardPage valuePage(const PromptDefinition& definition, const std::string& value,
                         PromptForm form) const;
    bool store(const PromptDefinition& definition, std::string value, bool fromFallback);

    const ScriptText& script_;
    const Expander& expander_;
    Environment& environment_;
    const RegistryReader& registry_;
    PageHost& pages_;
    PromptAnswers& answers_;
    PromptRun run_;
    std::function<void()> onSilentPage_;
};

}  // namespace kestrel::setup
