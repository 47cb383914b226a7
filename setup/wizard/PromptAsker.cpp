#include "wizard/PromptAsker.h"

#include "messages/MessageStrings.h"
#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {
constexpr std::size_t kDefinitionLimit = 1024;
}

std::optional<PromptDefinition> PromptAsker::definition(std::string_view name) const {
    const auto line = script_.readValue("Prompts", name, kDefinitionLimit);
    if (!line) return std::nullopt;
    const std::string expanded = expander_.expand(*line);
    if (trimBlanks(expanded).empty()) return std::nullopt;
    return parsePromptDefinition(name, expanded);
}

std::optional<PageResult> PromptAsker::ask(std::string_view name, bool backEnabled,
                                           PromptForm form) {
    const auto found = definition(name);
    if (!found) return std::nullopt;
    PromptDefinition prompt = *found;
    if (!prompt.unknownFlag.empty()) {
        // The words that were known still count, and the prompt is asked.
        (void)pages_.messages().show(messages::kIncorrectFlags, {prompt.unknownFlag});
    }
    if (!promptApplies(prompt.flags, run_.kind)) return std::nullopt;

    bool fromFallback = false;
    std::string value;
    const PromptAnswer* earlier = answers_.find(prompt.name);
    if (earlier && !earlier->fromFallback) {
        // The answer as it stands now: a command may have changed it since.
        value = environment_.get(platform::asciiUpper(prompt.name)).value_or(earlier->value);
    } else if (run_.useRegisteredAnswers && !run_.machineKeyName.empty()) {
        switch (registeredAnswer(prompt, value)) {
            case Registered::Found:
                return store(prompt, value, false) ? std::nullopt
                                                   : std::optional(PageResult::Cancel);
            case Registered::Ignored:
                return store(prompt, "", false) ? std::nullopt : std::optional(PageResult::Cancel);
            case Registered::Ask:
                value = startValue(prompt, fromFallback);
                break;
        }
    } else {
        value = startValue(prompt, fromFallback);
    }

    // The field keeps the prompt's rules (length, case, digits) also for a value that is
    // stored without showing it.
    WizardPage page = valuePage(prompt, value, form);
    page.keepsDraft = false;
    if (run_.silent) {
        const std::string& atHand = page.fields[0].text();
        if (!atHand.empty() || prompt.has(prompt::kNonMandatory))
            return store(prompt, atHand, fromFallback) ? std::nullopt
                                                       : std::optional(PageResult::Cancel);
        if (onSilentPage_) onSilentPage_();
    }
    const PageResult result = pages_.show(page, backEnabled);
    if (result != PageResult::Next) return result;
    const std::string& answer = page.fields[0].text();
    // An answer counts as the fallback only while it is the fallback as offered: whatever
    // the person typed is their answer and comes back as such.
    if (!store(prompt, answer, fromFallback && answer == prompt.fallback))
        return PageResult::Cancel;
    return result;
}

bool PromptAsker::askCommand(std::string_view name) {
    const auto result = ask(name, false, PromptForm::Command);
    return !result || *result == PageResult::Next;
}

std::string PromptAsker::startValue(const PromptDefinition& definition, bool& fromFallback) const {
    if (definition.defaultValue.empty() && definition.has(prompt::kUseDefault)) {
        fromFallback = true;
        return definition.fallback;
    }
    return definition.defaultValue;
}

PromptAsker::Registered PromptAsker::registeredAnswer(const PromptDefinition& definition,
                                                      std::string& value) {
    const std::string key = "Software\\" + run_.machineKeyName + "\\Setup\\Prompts";
    const auto root = run_.kind.perUserPart ? platform::RegistryRoot::CurrentUser
                                            : platform::RegistryRoot::LocalMachine;
    const long error = registry_.readText(root, key, definition.name, &value);
    if (error == 0) return Registered::Found;
    value.clear();
    const int answer =
        pages_.messages().show(messages::kCannotReadKey, {key + "\\" + definition.name, error});
    return answer == buttons::kIgnore ? Registered::Ignored : Registered::Ask;
}

WizardPage PromptAsker::valuePage(const PromptDefinition& definition, const std::string& value,
                                  PromptForm form) const {
    WizardPage page = framedPage(pages_.frame(), PageKind::GetVal);
    page.text = definition.text;
    EditField field(definition.label, definition.maxLength);
    if (definition.has(prompt::kUpperCase)) field.letterCase = LetterCase::Upper;
    if (definition.has(prompt::kLowerCase)) field.letterCase = LetterCase::Lower;
    field.password = definition.has(prompt::kPassword);
    field.digitsOnly = definition.has(prompt::kNumber);
    field.required = !definition.has(prompt::kNonMandatory);
    field.browse = definition.has(prompt::kDirectory);
    field.setText(value);
    page.fields.push_back(std::move(field));
    if (form == PromptForm::Command) {
        page.nextLabel = "OK";
        page.backVisible = false;
    }
    return page;
}

bool PromptAsker::store(const PromptDefinition& definition, std::string value, bool fromFallback) {
    if (!environment_.set(platform::asciiUpper(definition.name), value)) {
        (void)pages_.messages().show(messages::kOutOfMemory);
        return false;
    }
    answers_.put(definition.name, std::move(value), fromFallback);
    return true;
}

}  // namespace kestrel::setup
