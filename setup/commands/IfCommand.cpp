#include <optional>
#include <string>
#include <vector>

#include "commands/ScriptCommandHandlers.h"
#include "ops/ConditionFunctions.h"
#include "platform/AsciiCase.h"
#include "script/Condition.h"
#include "script/Words.h"

namespace kestrel::setup::commands {

namespace {

// If left[(argument)] operator right[(argument)] Then section [Else section] [EndIf]
struct IfLine {
    ConditionParts condition;
    std::string thenSection;
    std::optional<std::string> elseSection;
};

bool isWord(const std::vector<std::string>& tokens, std::size_t at, std::string_view word) {
    return at < tokens.size() && platform::equalsIgnoreAsciiCase(tokens[at], word);
}

// nullopt when a part is missing or another word stands where Then, Else or EndIf must.
std::optional<IfLine> readIfLine(const std::vector<std::string>& tokens) {
    std::size_t at = 0;
    std::optional<ConditionParts> condition = readCondition(tokens, at);
    if (!condition) return std::nullopt;
    // After a function call on the right, the next word counts as Then whatever it says.
    if (!condition->right.argument && !isWord(tokens, at, "Then")) return std::nullopt;
    if (++at >= tokens.size()) return std::nullopt;
    IfLine line{std::move(*condition), tokens[at++], std::nullopt};
    if (isWord(tokens, at, "Else")) {
        if (++at >= tokens.size()) return std::nullopt;
        line.elseSection = tokens[at++];
    }
    if (at < tokens.size() && !isWord(tokens, at, "EndIf")) return std::nullopt;
    return line;
}

// Variables are expanded once more in every part; function arguments are paths, relative
// ones from the current directory.
void expandParts(CommandCall& call, IfLine& line) {
    const Expander expander = call.context.expander();
    for (ConditionOperand* operand : {&line.condition.left, &line.condition.right}) {
        operand->text = expander.expand(operand->text);
        if (operand->argument && !operand->argument->empty())
            operand->argument = call.state.absolutePath(expander.expand(*operand->argument));
    }
    line.thenSection = expander.expand(line.thenSection);
    if (line.elseSection) line.elseSection = expander.expand(*line.elseSection);
}

}  // namespace

bool IfCommand::operator()(CommandCall& call) {
    // A function's argument runs to its matching parenthesis, blanks and all.
    std::optional<IfLine> line =
        readIfLine(splitWords(call.line.rest, call.line.restPlaces(), true));
    if (!line) return invalidParameter(call);
    expandParts(call, *line);
    const bool holds = conditionHolds(line->condition, conditionFunctions(call.context));
    if (holds) return enter(call, line->thenSection);
    return !line->elseSection || enter(call, *line->elseSection);
}

bool IfCommand::enter(CommandCall& call, const std::string& section) {
    if (depth_ >= kMaxDepth) {
        // The pre-scan stops quietly; the run that follows says why.
        if (!call.prescan) {
            call.context.messages.note(
                "The command '%s' was not carried out: the sections that If runs call each "
                "other more than %d deep.",
                {call.line.text, kMaxDepth});
        }
        return false;
    }
    ++depth_;
    bool going = true;
    if (call.prescan) {
        const std::optional<std::uint64_t> space = services_.sectionSpace(call.context, section);
        if (space && call.space) *call.space += *space;
        going = space.has_value();
    } else {
        going = services_.runSection(call.context, section, call.direction);
    }
    --depth_;
    return going;
}

}  // namespace kestrel::setup::commands
