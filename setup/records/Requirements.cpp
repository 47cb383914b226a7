#include "records/Requirements.h"

#include "messages/MessageStrings.h"
#include "ops/ConditionFunctions.h"
#include "script/Condition.h"
#include "script/Fields.h"
#include "script/Words.h"

namespace kestrel::setup::records {

namespace {

constexpr std::string_view kSection = "Requirements";

void expandOperand(ConditionOperand& operand, const Expander& expander) {
    operand.text = expander.expand(operand.text);
    if (operand.argument) operand.argument = expander.expand(*operand.argument);
}

}  // namespace

std::vector<std::string> requirementTokens(std::string_view line) {
    return splitWords(line, {}, true);
}

std::optional<std::string> unmetRequirement(OperationContext& context) {
    const Expander expander = context.expander();
    const ConditionFunction functions = conditionFunctions(context);
    for (const ScriptLine& line : context.script.sectionLines(kSection, 256)) {
        if (trimBlanks(line.text).empty()) continue;
        const std::vector<std::string> tokens = requirementTokens(line.text);
        std::size_t at = 0;
        auto condition = readCondition(tokens, at);
        if (!condition) {
            context.messages.show(messages::kInvalidParameter, {line.text});
            continue;
        }
        expandOperand(condition->left, expander);
        expandOperand(condition->right, expander);
        if (!conditionHolds(*condition, functions)) return line.text;
    }
    return std::nullopt;
}

bool requirementsMet(OperationContext& context) {
    const auto unmet = unmetRequirement(context);
    if (!unmet) return true;
    if (context.run.silent) return false;
    if (const std::string& text = context.settings.requirementsText; !text.empty()) {
        context.messages.show(messages::kRequirementText,
                              {unescapeText(context.expander().expand(text))});
    } else {
        context.messages.show(messages::kRequirementNotMet, {*unmet});
    }
    return false;
}

}  // namespace kestrel::setup::records
