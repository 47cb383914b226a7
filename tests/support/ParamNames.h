// Names of parameterised cases that read well in test listings and failure reports: each
// case's own label, made a valid test name, instead of the bytes of its parameter.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

namespace kestrel::test {

// Letters and digits stay; every run of other characters becomes one '_'. Never empty.
inline std::string identifierFrom(std::string_view text) {
    std::string name;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += c;
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name.empty() ? "_" : name;
}

// INSTANTIATE_TEST_SUITE_P(Prefix, Suite, ::testing::ValuesIn(kCases), NameFromWhat());
// for parameters that carry their label in a `what` member.
struct NameFromWhat {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return identifierFrom(info.param.what);
    }
};

}  // namespace kestrel::test
