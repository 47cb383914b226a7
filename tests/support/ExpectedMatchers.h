// Matchers for Expected results: a failing check prints the error text, and errors are
// compared by the exact text the user would see ("file:line:column: message").
#pragma once

#include <gmock/gmock.h>

#include <sstream>
#include <string>

namespace kestrel::test {

// The text of an error: describe() where the type has one, else the value streamed.
template <typename E>
std::string errorText(const E& error) {
    if constexpr (requires { error.describe(); }) {
        return error.describe();
    } else if constexpr (requires { error.message; }) {
        return error.message;
    } else {
        std::ostringstream text;
        text << error;
        return text.str();
    }
}

// EXPECT_THAT(result, Succeeded());
MATCHER(Succeeded, "succeeds") {
    if (arg.has_value()) return true;
    *result_listener << "failed with \"" << errorText(arg.error()) << "\"";
    return false;
}

// EXPECT_THAT(result, FailsWith("file.json:3:7: expected a string"));
MATCHER_P(FailsWith, text, "fails with \"" + std::string(text) + "\"") {
    if (arg.has_value()) {
        *result_listener << "succeeded";
        return false;
    }
    const std::string actual = errorText(arg.error());
    *result_listener << "failed with \"" << actual << "\"";
    return actual == std::string(text);
}

// EXPECT_THAT(result, FailsWithText(HasSubstr("user.reg:3:")));
MATCHER_P(FailsWithText, matcher,
          "fails with a text that " + ::testing::DescribeMatcher<std::string>(matcher)) {
    if (arg.has_value()) {
        *result_listener << "succeeded";
        return false;
    }
    const std::string actual = errorText(arg.error());
    *result_listener << "failed with \"" << actual << "\"";
    return ::testing::Matches(matcher)(actual);
}

}  // namespace kestrel::test
