#include "script/Condition.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {

constexpr std::size_t kMaxVersionParts = 10;

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::vector<std::string_view> versionParts(std::string_view version) {
    std::vector<std::string_view> parts;
    while (parts.size() < kMaxVersionParts) {
        const std::size_t point = version.find('.');
        parts.push_back(version.substr(0, point));
        if (point == std::string_view::npos) break;
        version.remove_prefix(point + 1);
    }
    return parts;
}

// The leading digits as a number, saturated far below the range so that differences of two
// such numbers never overflow.
long long leadingNumber(std::string_view text) {
    constexpr long long kLimit = std::numeric_limits<long long>::max() / 4;
    long long value = 0;
    for (char c : text) {
        if (!isDigit(c)) break;
        if (value > (kLimit - 9) / 10) return kLimit;
        value = value * 10 + (c - '0');
    }
    return value;
}

int sign(long long value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

bool isWholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    return std::ranges::all_of(text, isDigit);
}

long long wholeNumber(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    const long long value = leadingNumber(negative ? text.substr(1) : text);
    return negative ? -value : value;
}

// "Name(argument)" split into its two parts; nullopt when the token is no such call.
std::optional<ConditionOperand> splitCall(std::string_view token) {
    const std::size_t open = token.find('(');
    if (open == std::string_view::npos || open == 0 || token.back() != ')') return std::nullopt;
    return ConditionOperand{std::string(token.substr(0, open)),
                            std::string(token.substr(open + 1, token.size() - open - 2))};
}

bool isArgumentToken(std::string_view token) {
    return token.size() >= 2 && token.front() == '(' && token.back() == ')';
}

std::optional<ConditionOperand> readOperand(const std::vector<std::string>& tokens,
                                            std::size_t& at) {
    if (at >= tokens.size()) return std::nullopt;
    const std::string& token = tokens[at++];
    if (auto call = splitCall(token)) return call;
    ConditionOperand operand{token, std::nullopt};
    if (at < tokens.size() && isArgumentToken(tokens[at])) {
        const std::string& group = tokens[at++];
        operand.argument = group.substr(1, group.size() - 2);
    }
    return operand;
}

}  // namespace

int compareVersions(std::string_view a, std::string_view b) {
    const auto left = versionParts(a);
    const auto right = versionParts(b);
    for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
        if (i >= left.size()) return -1;
        if (i >= right.size()) return 1;
        const int order = (i == 0 && !left[i].empty() && isDigit(left[i].front()))
                              ? sign(leadingNumber(left[i]) - leadingNumber(right[i]))
                              : platform::compareIgnoreAsciiCase(left[i], right[i]);
        if (order != 0) return order;
    }
    return 0;
}

int compareRevisions(std::string_view a, std::string_view b) {
    if (a == "0") a = {};
    if (b == "0") b = {};
    if (!a.empty() && isDigit(a.front())) return sign(leadingNumber(a) - leadingNumber(b));
    return platform::compareIgnoreAsciiCase(a, b);
}

int compareVersionsAndRevisions(std::string_view version, std::string_view revision,
                                std::string_view otherVersion, std::string_view otherRevision) {
    const int order = compareVersions(version, otherVersion);
    return order != 0 ? order : compareRevisions(revision, otherRevision);
}

long long compareOperands(std::string_view left, std::string_view right) {
    if (isWholeNumber(left) && isWholeNumber(right)) return wholeNumber(left) - wholeNumber(right);
    if (left.find('.') != std::string_view::npos && right.find('.') != std::string_view::npos)
        return compareVersions(left, right);
    return platform::compareIgnoreAsciiCase(left, right);
}

bool operatorHolds(std::string_view op, long long value) {
    if (op == "==" || op == "=") return value == 0;
    if (op == "!=" || op == "<>") return value != 0;
    if (op == ">") return value >= 1;
    if (op == "<") return value < 0;
    if (op == ">=") return value >= 0;
    if (op == "<=") return value < 1;
    return false;
}

std::optional<ConditionParts> readCondition(const std::vector<std::string>& tokens,
                                            std::size_t& at) {
    auto left = readOperand(tokens, at);
    if (!left || at >= tokens.size()) return std::nullopt;
    std::string op = tokens[at++];
    auto right = readOperand(tokens, at);
    if (!right) return std::nullopt;
    return ConditionParts{std::move(*left), std::move(op), std::move(*right)};
}

std::string operandValue(const ConditionOperand& operand, const ConditionFunction& call) {
    if (!operand.argument) return operand.text;
    return call(operand.text, *operand.argument).value_or(operand.text);
}

bool conditionHolds(const ConditionParts& parts, const ConditionFunction& call) {
    return operatorHolds(
        parts.op, compareOperands(operandValue(parts.left, call), operandValue(parts.right, call)));
}

}  // namespace kestrel::setup
