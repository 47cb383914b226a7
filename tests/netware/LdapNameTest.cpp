// Names between the directory's dotted form and LDAP DNs, with hostile characters.
#include <gtest/gtest.h>

#include "LdapName.h"
#include "LdapObjects.h"
#include "ShownName.h"

using namespace nw;

namespace {

constexpr const char* kBase = "dc=ACME_TREE,dc=kestrel";

AbsoluteName nameOf(const std::string& text) {
    auto name = resolveName(text, AbsoluteName{}, false);
    EXPECT_TRUE(name.has_value()) << text;
    return name.value_or(AbsoluteName{});
}

TEST(LdapName, TypedDottedNamesMapToDnsBelowTheTree) {
    EXPECT_EQ(toDn(nameOf("CN=WS17.OU=Sales.O=Acme"), kBase),
              "cn=WS17,ou=Sales,o=Acme,dc=ACME_TREE,dc=kestrel");
    EXPECT_EQ(toDn(nameOf("L=Frankfurt.S=Hessen.C=DE"), kBase),
              "l=Frankfurt,st=Hessen,c=DE,dc=ACME_TREE,dc=kestrel");
    EXPECT_EQ(toDn(AbsoluteName{}, kBase), kBase);  // [Root] is the tree's entry
    EXPECT_EQ(fromDn("cn=WS17,ou=Sales,o=Acme,dc=ACME_TREE,dc=kestrel", kBase),
              "CN=WS17.OU=Sales.O=Acme");
    EXPECT_EQ(fromDn("L=Frankfurt,ST=Hessen,C=DE,DC=acme_tree,DC=Kestrel", kBase),
              "L=Frankfurt.S=Hessen.C=DE");
    EXPECT_EQ(fromDn(kBase, kBase), "");
}

TEST(LdapName, DnsOutsideTheTreeOrMalformedHaveNoName) {
    EXPECT_EQ(fromDn("cn=X,dc=GLOBEX_TREE,dc=kestrel", kBase), std::nullopt);
    EXPECT_EQ(fromDn("dc=kestrel", kBase), std::nullopt);
    EXPECT_EQ(fromDn("cn=a,,dc=x", kBase), std::nullopt);
    EXPECT_EQ(fromDn("not a dn", kBase), std::nullopt);
}

TEST(LdapName, EverySpecialCharacterIsEscapedAndComesBack) {
    EXPECT_EQ(escapeDnValue("a,b+c=d\"e\\f<g>h;i"), "a\\,b\\+c\\=d\\\"e\\\\f\\<g\\>h\\;i");
    EXPECT_EQ(escapeDnValue("#lead"), "\\#lead");
    EXPECT_EQ(escapeDnValue("mid#dle"), "mid#dle");
    EXPECT_EQ(escapeDnValue(" both "), "\\ both\\ ");
    EXPECT_EQ(escapeDnValue("M\xC3\xBCnchen"), "M\\C3\\BCnchen");
    EXPECT_EQ(escapeDnValue(std::string("nul\0x", 5)), "nul\\00x");

    // Whatever a value holds, the DN names the same object again, and never another.
    for (std::string value : {"a,b", "x+cn=Admin", "O=Evil", "back\\slash", "#1", " padded ",
                              "<tag>;", "quote\"d", "M\xC3\xBCnchen", "dot.ted", "cn=a,o=b"}) {
        AbsoluteName name{{{"CN", value}, {"O", "Acme"}}};
        std::string dn = toDn(name, kBase);
        EXPECT_EQ(fromDn(dn, kBase), name.text()) << value << " as " << dn;
    }
}

TEST(LdapName, NamesShowRelativeToTheNameContextOnlyBelowIt) {
    AbsoluteName sales = nameOf("OU=Sales.O=Acme");
    EXPECT_EQ(shownName("CN=WS17.OU=Sales.O=Acme", sales, true, false), "CN=WS17");
    EXPECT_EQ(shownName("CN=WS17.OU=Sales.O=Acme", sales, true, true), "WS17");
    EXPECT_EQ(shownName("cn=ws17.ou=SALES.o=acme", sales, true, false), "cn=ws17");
    EXPECT_EQ(shownName("OU=Sales.O=Acme", sales, true, false), "OU=Sales.O=Acme");
    EXPECT_EQ(shownName("CN=X.OU=Staff.O=Acme", sales, true, false), "CN=X.OU=Staff.O=Acme");
    EXPECT_EQ(shownName("CN=X.OU=Sales.O=Acme", sales, false, false), "CN=X.OU=Sales.O=Acme");
    // A component that merely ends like the context is not below it.
    EXPECT_EQ(shownName("CN=X.OU=BigSales.O=Acme", sales, true, false), "CN=X.OU=BigSales.O=Acme");
}

}  // namespace
