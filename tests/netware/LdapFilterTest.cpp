// Search filters as LDAP filters: structure kept whatever the values hold, widened (and
// marked for checking) where the server cannot decide as the directory does.
#include <gtest/gtest.h>

#include <cstring>

#include "FilterTokens.h"
#include "LdapFilter.h"
#include "LdapNameParts.h"
#include "LdapSchema.h"
#include "ReplyBuffer.h"

using namespace nw;

namespace {

using nwtest::Token;

class LdapFilterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        schema_.addAttributeTypes(
            {"( 2.5.4.0 NAME 'objectClass' EQUALITY objectIdentifierMatch SYNTAX "
             "1.3.6.1.4.1.1466.115.121.1.38 )",
             "( 2.5.4.41 NAME 'name' EQUALITY caseIgnoreMatch SUBSTR caseIgnoreSubstringsMatch "
             "SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )",
             "( 2.5.4.3 NAME ( 'cn' 'commonName' ) SUP name )",
             "( 1.1.1 NAME 'wMNAMEComputer' EQUALITY caseIgnoreMatch SUBSTR "
             "caseIgnoreSubstringsMatch SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 X-NDS_NAME 'WM:NAME "
             "Computer' X-NDS_SYNTAX '3' )",
             "( 1.1.2 NAME 'wMINVPhysicalMemory' EQUALITY integerMatch ORDERING "
             "integerOrderingMatch SYNTAX 1.3.6.1.4.1.1466.115.121.1.27 X-NDS_NAME 'WM:INV "
             "Physical Memory' X-NDS_SYNTAX '8' )",
             "( 1.1.3 NAME 'wMLastRegisteredTime' EQUALITY generalizedTimeMatch SYNTAX "
             "1.3.6.1.4.1.1466.115.121.1.24 X-NDS_NAME 'WM:Last Registered Time' )",
             "( 1.1.4 NAME 'version' EQUALITY caseIgnoreMatch SYNTAX "
             "1.3.6.1.4.1.1466.115.121.1.15 X-NDS_NAME 'Version' )"});
        schema_.addObjectClasses(
            {"( 1.2.1 NAME 'workstation' SUP top STRUCTURAL MUST cn X-NDS_NAME 'Workstation' )"});
    }

    LdapFilter translate(const std::vector<Token>& tokens, bool narrowNames = false) {
        Filter_Cursor_T cursor;
        EXPECT_EQ(nwtest::addTokens(&cursor, tokens), 0);
        BufferImpl* buffer = allocateBuffer(4096);
        EXPECT_EQ(writeFilter(cursor, *buffer), 0);
        SearchFilter filter;
        EXPECT_EQ(readFilter(*buffer, &filter), 0);
        freeBuffer(&buffer->pub);
        return toLdapFilter(&filter, schema_, narrowNames);
    }

    // Workstations whose returned names contain `part`, narrowed where the server can.
    LdapFilter workstationsNamed(const char* part) {
        return translate({{FTOK_ANAME, "Object Class", SYN_CLASS_NAME},
                          {FTOK_EQ},
                          {FTOK_AVAL, "Workstation", SYN_CLASS_NAME},
                          {FTOK_AND},
                          {FTOK_NAME_CONTAINS},
                          {FTOK_AVAL, part, SYN_CI_STRING},
                          {FTOK_END}},
                         true);
    }

    static std::vector<Token> equals(const char* attribute, const char* value,
                                     nuint16 op = FTOK_EQ) {
        return {{FTOK_ANAME, attribute, SYN_CI_STRING},
                {op},
                {FTOK_AVAL, value, SYN_CI_STRING},
                {FTOK_END}};
    }

    LdapSchema schema_;
};

TEST_F(LdapFilterTest, ValuesCannotChangeTheFiltersStructure) {
    EXPECT_EQ(escapeFilterValue("a*b(c)d\\e"), "a\\2ab\\28c\\29d\\5ce");
    EXPECT_EQ(escapeFilterValue(std::string("n\0l\xC3\xBC", 5)), "n\\00l\\c3\\bc");
    LdapFilter hostile = translate(equals("WM:NAME Computer", "*)(objectClass=*"));
    EXPECT_EQ(hostile.text, "(wMNAMEComputer=\\2a\\29\\28objectClass=\\2a)");
    EXPECT_TRUE(hostile.exact);
    EXPECT_EQ(translate(equals("WM:NAME Computer", "back\\slash")).text,
              "(wMNAMEComputer=back\\5cslash)");
    // In a pattern '*' is the wildcard; the other special characters stay plain.
    LdapFilter pattern = translate(equals("WM:NAME Computer", "w(s)*\\", FTOK_APPROX));
    EXPECT_EQ(pattern.text, "(wMNAMEComputer=w\\28s\\29*\\5c)");
    EXPECT_TRUE(pattern.exact);
}

TEST_F(LdapFilterTest, ClassesAttributesAndNumbersTakeTheirLdapNames) {
    EXPECT_EQ(translate(equals("Object Class", "Workstation")).text, "(objectClass=workstation)");
    EXPECT_EQ(translate(equals("Object Class", "User")).text, "(objectClass=inetOrgPerson)");
    EXPECT_EQ(translate(equals("Object Class", "Organizational Unit")).text,
              "(objectClass=organizationalUnit)");
    LdapFilter memory = translate({{FTOK_ANAME, "WM:INV Physical Memory", SYN_INTEGER},
                                   {FTOK_GE},
                                   {FTOK_AVAL, nullptr, SYN_INTEGER, 100},
                                   {FTOK_AND},
                                   {FTOK_PRESENT},
                                   {FTOK_ANAME, "CN"},
                                   {FTOK_END}});
    EXPECT_EQ(memory.text, "(&(wMINVPhysicalMemory>=100)(cn=*))");
    EXPECT_TRUE(memory.exact);
    // Times compare as generalized time; without an ordering rule only the check decides.
    LdapFilter time = translate({{FTOK_ANAME, "WM:Last Registered Time", SYN_TIME},
                                 {FTOK_EQ},
                                 {FTOK_AVAL, "915239109", SYN_CI_STRING},
                                 {FTOK_END}});
    EXPECT_EQ(time.text, "(wMLastRegisteredTime=19990102010509Z)");
    LdapFilter later = translate({{FTOK_ANAME, "WM:Last Registered Time", SYN_TIME},
                                  {FTOK_GE},
                                  {FTOK_AVAL, "915239109", SYN_CI_STRING},
                                  {FTOK_END}});
    EXPECT_EQ(later.text, "(wMLastRegisteredTime=*)");
    EXPECT_FALSE(later.exact);
}

TEST_F(LdapFilterTest, WhatTheServerCannotDecideIsWidenedAndChecked) {
    // A part of the returned name: every workstation comes, the client checks the names.
    LdapFilter named = translate({{FTOK_ANAME, "Object Class", SYN_CLASS_NAME},
                                  {FTOK_EQ},
                                  {FTOK_AVAL, "Workstation", SYN_CLASS_NAME},
                                  {FTOK_AND},
                                  {FTOK_NAME_CONTAINS},
                                  {FTOK_AVAL, "(*)\\", SYN_CI_STRING},
                                  {FTOK_END}});
    EXPECT_EQ(named.text, "(objectClass=workstation)");
    EXPECT_FALSE(named.exact);
    // A NOT of a widened term cannot be narrowed by the server.
    LdapFilter negated =
        translate({{FTOK_NOT}, {FTOK_NAME_CONTAINS}, {FTOK_AVAL, "x", SYN_CI_STRING}, {FTOK_END}});
    EXPECT_EQ(negated.text, "(objectClass=*)");
    EXPECT_FALSE(negated.exact);
    LdapFilter one = translate(equals("WM:NAME Computer", "ws?7", FTOK_APPROX));
    EXPECT_EQ(one.text, "(wMNAMEComputer=ws*7)");
    EXPECT_FALSE(one.exact);
    // Without a substrings rule a pattern is only a presence for the server.
    EXPECT_EQ(translate(equals("Version", "4.*", FTOK_APPROX)).text, "(version=*)");
}

TEST_F(LdapFilterTest, AnAttributeTheServerLacksMatchesNothingAndItsNegationEverything) {
    EXPECT_EQ(translate(equals("No Such Thing", "x")).text, "(!(objectClass=*))");
    LdapFilter negated = translate({{FTOK_NOT},
                                    {FTOK_ANAME, "No Such Thing", SYN_CI_STRING},
                                    {FTOK_EQ},
                                    {FTOK_AVAL, "x", SYN_CI_STRING},
                                    {FTOK_END}});
    EXPECT_EQ(negated.text, "(!(!(objectClass=*)))");
    EXPECT_TRUE(negated.exact);
    // A name that could break out of the attribute description is no attribute at all.
    EXPECT_EQ(translate(equals("cn=*)(x", "y")).text, "(!(objectClass=*))");
}

TEST(LdapSchemaNames, DerivedUnlessTheSchemaSaysOtherwise) {
    EXPECT_EQ(deriveLdapName("WM:NAME Computer"), "wMNAMEComputer");
    EXPECT_EQ(deriveLdapName("ZEN:INV Disk Info"), "zENINVDiskInfo");
    LdapSchema schema;
    schema.addAttributeTypes(
        {"( 1.1.1 NAME 'kestrelMember' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 X-NDS_NAME 'Member' )",
         "( 1.1.2 NAME 'wMNetworkAddress' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 X-NDS_NAME "
         "'WM:Network "
         "Address' X-NDS_SYNTAX '3' )",
         "( 1.1.3 NAME 'wMNetworkAddressNetAddress' SUP wMNetworkAddress EQUALITY octetStringMatch "
         "SYNTAX 1.3.6.1.4.1.1466.115.121.1.40 X-NDS_NAME 'WM:Network Address' X-NDS_SYNTAX '12' )",
         "( 1.1.4 NAME 'hostServer' SYNTAX 1.3.6.1.4.1.1466.115.121.1.12 )",
         "( 2.5.4.20 NAME 'telephoneNumber' SYNTAX 1.3.6.1.4.1.1466.115.121.1.50 )",
         "( 1.1.5 NAME 'exact' EQUALITY caseExactMatch SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )"});
    schema.addObjectClasses(
        {"( 1.2 NAME 'kestrelObject' SUP top AUXILIARY )",
         "( 1.3 NAME 'nCPServer' SUP top STRUCTURAL X-NDS_NAME 'NCP Server' )"});
    EXPECT_EQ(schema.ldapAttribute("member"), "kestrelMember");
    EXPECT_EQ(schema.directoryAttribute("KESTRELMEMBER"), "Member");
    // Of a type and its subtype for one attribute, the type is asked for.
    EXPECT_EQ(schema.ldapAttribute("WM:Network Address"), "wMNetworkAddress");
    EXPECT_EQ(schema.syntaxOf("wMNetworkAddressNetAddress"),
              static_cast<std::uint32_t>(SYN_NET_ADDRESS));
    EXPECT_EQ(schema.syntaxOf("hostServer"), static_cast<std::uint32_t>(SYN_DIST_NAME));
    EXPECT_EQ(schema.syntaxOf("telephoneNumber"), static_cast<std::uint32_t>(SYN_TEL_NUMBER));
    EXPECT_EQ(schema.syntaxOf("exact"), static_cast<std::uint32_t>(SYN_CE_STRING));
    EXPECT_EQ(schema.directoryAttribute("telephoneNumber"), "Telephone Number");
    EXPECT_EQ(schema.ldapAttribute("Surname"), "sn");
    EXPECT_EQ(schema.ldapClass("NCP Server"), "nCPServer");
    EXPECT_EQ(schema.directoryClass("ncpserver"), "NCP Server");
    EXPECT_EQ(schema.directoryClass("inetOrgPerson"), "User");
    EXPECT_EQ(schema.ldapClass("Printer"), "printer");
    EXPECT_TRUE(schema.isAuxiliary("KestrelObject"));
    EXPECT_FALSE(schema.knows("someNetAddress"));
}

}  // namespace

TEST_F(LdapFilterTest, NamePartsNarrowToWhatTheOwnNameMustHold) {
    LdapFilter named = workstationsNamed("WS1234");
    EXPECT_EQ(named.text, "(&(objectClass=workstation)(cn=*WS1234*))");
    EXPECT_FALSE(named.exact) << "case and containers are the client's to check";
    EXPECT_EQ(named.nameParts, std::vector<std::string>{"WS1234"});
    // Metacharacters stay values; blanks, backslashes (escapes of the returned name) and
    // non-ASCII bytes split the runs; a last letter before non-ASCII or at the end goes,
    // since a server that normalises may join it with a combining mark.
    EXPECT_EQ(workstationsNamed("(*)").text, "(&(objectClass=workstation)(cn=*\\28\\2a\\29*))");
    EXPECT_EQ(workstationsNamed("a1 \\b2\xc3\xa9"
                                "c3")
                  .text,
              "(&(objectClass=workstation)(cn=*a1*b2*c3*))");
    EXPECT_EQ(workstationsNamed("Sales").text, "(&(objectClass=workstation)(cn=*Sale*))");
    EXPECT_EQ(workstationsNamed("ab\xc3\xa9").text, "(&(objectClass=workstation)(cn=*a*))");
    // Across components, in a type, or without a run to send: every workstation comes.
    for (const char* wide : {"1.OU=S", "=WS", "CN", "N", "S", "a", "\xc3\xa9", "*"}) {
        LdapFilter widened = workstationsNamed(wide);
        EXPECT_EQ(widened.text, "(objectClass=workstation)") << wide;
        EXPECT_TRUE(widened.nameParts.empty()) << wide;
    }
    // Without a substrings rule for cn the server cannot narrow.
    LdapSchema bare;
    bare.addAttributeTypes(
        {"( 2.5.4.3 NAME 'cn' EQUALITY caseIgnoreMatch SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )"});
    schema_ = bare;
    EXPECT_TRUE(workstationsNamed("WS1234").nameParts.empty());
}

TEST_F(LdapFilterTest, ContainersNamedLikeAPartAreFoundThroughIndexedTerms) {
    EXPECT_EQ(namedContainersFilter({"Sales", "x(y"}, schema_),
              "(|(&(|(objectClass=country)(objectClass=locality)(objectClass=organization)"
              "(objectClass=organizationalUnit))"
              "(|(cn=*Sale*)(ou=*Sale*)(o=*Sale*)(c=*Sale*)(l=*Sale*)(st=*Sale*)"
              "(cn=*x\\28*)(ou=*x\\28*)(o=*x\\28*)(c=*x\\28*)(l=*x\\28*)(st=*x\\28*)))"
              "(&(|(cn=*Sale*)(cn=*x\\28*))(hasSubordinates=TRUE)))");
    // The base's name, whatever the case of its letters.
    EXPECT_TRUE(mayHoldNamePart("OU=Sales.O=Acme", {"WS1", "sALES"}));
    EXPECT_TRUE(mayHoldNamePart("OU=North Sales.O=Acme", {"h  S"}));
    EXPECT_FALSE(mayHoldNamePart("OU=Sales.O=Acme", {"WS1", "Acme2"}));
}

TEST_F(LdapFilterTest, ASavedSchemaIsTakenBackWhole) {
    LdapSchema restored;
    ASSERT_TRUE(restored.restore(schema_.saved()));
    EXPECT_EQ(restored.saved(), schema_.saved());
    EXPECT_EQ(restored.ldapAttribute("WM:NAME Computer"), "wMNAMEComputer");
    EXPECT_EQ(restored.syntaxOf("wMINVPhysicalMemory"), static_cast<std::uint32_t>(SYN_INTEGER));
    ASSERT_NE(restored.attributeType("cn"), nullptr);
    EXPECT_TRUE(restored.attributeType("cn")->substrings) << "inherited from name";
    EXPECT_EQ(restored.ldapClass("Workstation"), "workstation");
    // Bytes of another form change nothing.
    std::string cut = schema_.saved();
    cut.pop_back();
    EXPECT_FALSE(restored.restore(cut));
    EXPECT_FALSE(restored.restore("junk"));
    EXPECT_EQ(restored.saved(), schema_.saved());
}
