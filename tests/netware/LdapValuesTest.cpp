// Values between a server's form and the replies' wire form.
#include <gtest/gtest.h>

#include <cstring>

#include "LdapValues.h"
#include "nwnet.h"

using namespace nw;

namespace {

std::uint32_t numberOf(const std::optional<std::string>& wire) {
    std::uint32_t value = 0;
    EXPECT_TRUE(wire && wire->size() == 4);
    if (wire && wire->size() == 4) std::memcpy(&value, wire->data(), 4);
    return value;
}

TEST(LdapValues, GeneralizedTimeAndSecondsBothWays) {
    EXPECT_EQ(generalizedTimeOf(915239109), "19990102010509Z");
    EXPECT_EQ(secondsOfGeneralizedTime("19990102010509Z"), 915239109u);
    EXPECT_EQ(secondsOfGeneralizedTime("19990102010509.25Z"), 915239109u);
    EXPECT_EQ(secondsOfGeneralizedTime("199901020105Z"), 915239100u);
    EXPECT_EQ(secondsOfGeneralizedTime("19990102030509+0200"), 915239109u);
    EXPECT_EQ(secondsOfGeneralizedTime("19700101000000Z"), 0u);
    EXPECT_EQ(secondsOfGeneralizedTime("21060207062815Z"), 4294967295u);
    for (const char* bad : {"", "1999", "19991302010509Z", "19990102010509", "19990102010509Zx",
                            "19690101000000Z", "21060207062816Z", "abcd0102010509Z"})
        EXPECT_EQ(secondsOfGeneralizedTime(bad), std::nullopt) << bad;
}

TEST(LdapValues, EachSyntaxTakesItsWireForm) {
    EXPECT_EQ(numberOf(wireValueOf(SYN_INTEGER, "67108864", "")), 67108864u);
    EXPECT_EQ(numberOf(wireValueOf(SYN_INTEGER, "-5", "")), static_cast<std::uint32_t>(-5));
    EXPECT_EQ(numberOf(wireValueOf(SYN_TIME, "19990102010509Z", "")), 915239109u);
    EXPECT_EQ(numberOf(wireValueOf(SYN_BOOLEAN, "TRUE", "")), 1u);
    EXPECT_EQ(wireValueOf(SYN_INTEGER, "12x", ""), std::nullopt);
    EXPECT_EQ(wireValueOf(SYN_INTEGER, "99999999999", ""), std::nullopt);
    EXPECT_EQ(wireValueOf(SYN_NET_ADDRESS, std::string("1#\x7f\0\x01\x2a", 6), ""),
              std::string("\x01\0\0\0\x7f\0\x01\x2a", 8));
    EXPECT_EQ(wireValueOf(SYN_NET_ADDRESS, "no hash", ""), std::nullopt);
    EXPECT_EQ(wireValueOf(SYN_OCTET_STRING, std::string("\0\xff", 2), ""),
              std::string("\0\xff", 2));
    EXPECT_EQ(wireValueOf(SYN_DIST_NAME, "cn=Admin,o=Acme,dc=T,dc=k", "dc=T,dc=k"),
              "CN=Admin.O=Acme");
    EXPECT_EQ(wireValueOf(SYN_DIST_NAME, "cn=Admin,dc=elsewhere", "dc=T,dc=k"),
              "cn=Admin,dc=elsewhere");
    EXPECT_EQ(ldapNumber(SYN_INTEGER, static_cast<std::uint32_t>(-7)), "-7");
    EXPECT_EQ(ldapNumber(SYN_TIME, 0), "19700101000000Z");
}

}  // namespace
