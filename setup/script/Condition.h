// Conditions of the script: the `If` command and the lines of [Requirements] share the form
// "left[(argument)] operator right[(argument)]" and the way two values are compared.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::setup {

// Versions split at the points into at most ten parts, compared from the left: a missing
// part sorts before a present one, the first part compares as a number when it begins with
// a digit, every later part as text without regard to case (so 1.10 sorts before 1.9).
// Negative, zero or positive.
int compareVersions(std::string_view a, std::string_view b);

// Revisions compare as numbers when the first begins with a digit, else as text without
// regard to case; a revision "0" counts as empty.
int compareRevisions(std::string_view a, std::string_view b);

// Versions first, the revisions when the versions are equal.
int compareVersionsAndRevisions(std::string_view version, std::string_view revision,
                                std::string_view otherVersion, std::string_view otherRevision);

// The comparison value of two operands: left minus right when both are whole numbers (an
// optional leading minus; empty counts as a number), else the version comparison when both
// hold a point, else the text comparison without regard to case.
long long compareOperands(std::string_view left, std::string_view right);

// Whether the operator holds for a comparison value; an unknown operator never does.
bool operatorHolds(std::string_view op, long long value);

// One side of a condition; an argument makes it a function call.
struct ConditionOperand {
    std::string text;
    std::optional<std::string> argument;
};

struct ConditionParts {
    ConditionOperand left;
    std::string op;
    ConditionOperand right;
};

// Reads a condition from the tokens, starting at `at` and leaving `at` after it. An argument
// is written right after its name ("DoesFileExist(x)") or as the next token ("(x)").
// nullopt when a part is missing.
std::optional<ConditionParts> readCondition(const std::vector<std::string>& tokens,
                                            std::size_t& at);

// The value of an operand whose argument (and text) are already expanded: `call` gives a
// function's value and nullopt for a name it does not know, which leaves the text as it is.
using ConditionFunction =
    std::function<std::optional<std::string>(std::string_view name, std::string_view argument)>;
std::string operandValue(const ConditionOperand& operand, const ConditionFunction& call);

// Evaluates parts whose texts and arguments are already expanded.
bool conditionHolds(const ConditionParts& parts, const ConditionFunction& call);

}  // namespace kestrel::setup
