#include <gtest/gtest.h>

#include "DirectoryName.h"

using namespace nw;

namespace {

AbsoluteName context(const std::string& text) {
    return *resolveName(text, AbsoluteName{}, false);
}

std::string resolved(const std::string& name, const std::string& nameContext,
                     bool canonicalize = true) {
    auto result = resolveName(name, context(nameContext), canonicalize);
    return result ? result->text() : "<invalid>";
}

}  // namespace

TEST(DirectoryName, RelativeNamesHangBelowTheNameContext) {
    EXPECT_EQ(resolved("CN=WS17", "OU=Sales.O=Acme"), "CN=WS17.OU=Sales.O=Acme");
    EXPECT_EQ(resolved("", "OU=Sales.O=Acme"), "OU=Sales.O=Acme");
    EXPECT_EQ(resolved(".CN=WS17.OU=Sales.O=Acme", "O=Other"), "CN=WS17.OU=Sales.O=Acme");
    EXPECT_EQ(resolved("CN=Admin.", "OU=Sales.O=Acme"), "CN=Admin.O=Acme");
    EXPECT_EQ(resolved("CN=X..", "OU=Sales.O=Acme"), "CN=X");
    EXPECT_EQ(resolved("CN=X...", "OU=Sales.O=Acme"), "<invalid>");
    // Without canonicalisation every name is a full name.
    EXPECT_EQ(resolved("CN=WS17.OU=Sales.O=Acme", "O=Other", false), "CN=WS17.OU=Sales.O=Acme");
}

TEST(DirectoryName, UntypedComponentsGetTheDefaultTypes) {
    EXPECT_EQ(resolved("WS17.Sales.Acme", "[Root]"), "CN=WS17.OU=Sales.O=Acme");
    EXPECT_EQ(resolved("Acme", "[Root]"), "O=Acme");
    EXPECT_EQ(resolved("WS17", "OU=Sales.O=Acme"), "CN=WS17.OU=Sales.O=Acme");
    EXPECT_EQ(resolved("admin.acme", "[Root]", false), "CN=admin.O=acme");
    auto container =
        resolveName(*parseName("Sales.Acme"), AbsoluteName{}, false, Typing::Container);
    EXPECT_EQ(container->text(), "OU=Sales.O=Acme");
}

TEST(DirectoryName, RootAndMalformedNames) {
    EXPECT_EQ(resolved("[Root]", "O=Acme"), "[Root]");
    EXPECT_EQ(resolved(".[root]", "O=Acme"), "[Root]");
    EXPECT_EQ(resolved("CN=a..b", "[Root]"), "<invalid>");
    EXPECT_EQ(resolved("=x", "[Root]"), "<invalid>");
    EXPECT_EQ(resolved("CN=", "[Root]"), "<invalid>");
    EXPECT_EQ(resolved(".", "[Root]"), "<invalid>");
    NameError error{};
    EXPECT_FALSE(parseName(std::string(257, 'x'), &error));
    EXPECT_EQ(error, NameError::TooLong);
    EXPECT_TRUE(parseName(std::string(256, 'x')));
}

TEST(DirectoryName, EscapedFullStopsStayInsideTheComponent) {
    auto name = resolveName("CN=a\\.b.O=Acme", AbsoluteName{}, true);
    ASSERT_TRUE(name);
    ASSERT_EQ(name->components.size(), 2u);
    EXPECT_EQ(name->components[0].value, "a.b");
    EXPECT_EQ(name->text(), "CN=a\\.b.O=Acme");
    EXPECT_EQ(splitStoredName(name->text()).size(), 2u);
}

TEST(DirectoryName, KeysIgnoreCase) {
    EXPECT_EQ(context("cn=ADMIN.o=acme").key(), context("CN=Admin.O=Acme").key());
    EXPECT_TRUE(equalsIgnoreAsciiCase("Workstation", "WORKSTATION"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("Workstation", "Workstations"));
}

TEST(DirectoryName, WildcardsMatchRunsWithoutRegardToCase) {
    EXPECT_TRUE(wildcardMatch("ACME_TREE", "*"));
    EXPECT_TRUE(wildcardMatch("ACME_TREE", "acme*"));
    EXPECT_TRUE(wildcardMatch("ACME_TREE", "*_t*e"));
    EXPECT_TRUE(wildcardMatch("ACME_TREE", "AC?E_*"));
    EXPECT_FALSE(wildcardMatch("ACME", "ACME?"));
    EXPECT_FALSE(wildcardMatch("ACME_TREE", "*OTHER*"));
    EXPECT_TRUE(wildcardMatch("", "*"));
    EXPECT_FALSE(wildcardMatch("", "a"));
    // Many stars against a long text stay fast (no exponential backtracking).
    EXPECT_FALSE(wildcardMatch(std::string(5000, 'a'), std::string(50, '*') + "b"));
}
