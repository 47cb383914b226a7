#include "DirectoryFixture.h"

namespace kestrel::browser::test {
namespace {

constexpr const char* kPc1 = "CN=PC1.OU=Sales.O=Acme";
using Texts = std::vector<std::string>;

using AttributeReaders = DirectoryTest;

TEST_F(AttributeReaders, TimesOnATwelveHourClock) {
    auto layer = loggedIn();
    EXPECT_EQ(layer->ReadTimeAttr("WM:Last Registered Time", kPc1), "Wed Jan  6 01:05:09 1999\n");
    EXPECT_EQ(layer->ReadTimeAttr("WM:Boot Time", kPc1), "Sat Jan  2 12:10:00 1999\n");
    EXPECT_EQ(layer->ReadTimeAttr("WM:Missing Time", kPc1), "ERROR");
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(AttributeReaders, StringsReplaceTheArgumentOnlyOnSuccess) {
    auto layer = loggedIn();
    std::string attribute = "WM:NAME Computer";
    EXPECT_EQ(layer->ReadStringAttr(attribute, kPc1), "PC1-HOST");
    EXPECT_EQ(attribute, "PC1-HOST");

    attribute = "WM:NAME OS";
    EXPECT_EQ(layer->ReadStringAttr(attribute, kPc1), "WINNT");  // the last value wins

    for (const char* unreadable : {"WM:NAME DNS", "WM:Long Text"}) {
        attribute = unreadable;
        EXPECT_EQ(layer->ReadStringAttr(attribute, kPc1), "ERROR");
        EXPECT_EQ(attribute, unreadable);
    }
    attribute = "WM:NAME Computer";
    EXPECT_EQ(layer->ReadStringAttr(attribute, "CN=Ghost.OU=Sales.O=Acme"), "ERROR");
    EXPECT_EQ(attribute, "WM:NAME Computer");
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(AttributeReaders, OctetsGiveAtMost127Characters) {
    auto layer = loggedIn();
    std::string attribute = "ZEN:INV NIC Type";
    // The returned text is the start of the value area: the length, 8, as a character.
    EXPECT_EQ(layer->ReadOctetAttr(attribute, kPc1), "\x08");
    EXPECT_EQ(attribute, "Ethernet");

    attribute = "ZEN:INV Disk Info";  // 200 bytes: the count byte is negative
    EXPECT_EQ(layer->ReadOctetAttr(attribute, kPc1), "\xC8");
    EXPECT_EQ(attribute, "");

    attribute = "ZEN:INV Zero Octet";
    layer->ReadOctetAttr(attribute, kPc1);
    EXPECT_EQ(attribute, "Eth");

    attribute = "ZEN:INV Missing";
    EXPECT_EQ(layer->ReadOctetAttr(attribute, kPc1), "ERROR");
    EXPECT_EQ(attribute, "ZEN:INV Missing");
}

TEST_F(AttributeReaders, ListsTakeEveryValueOrSayNoValue) {
    auto layer = loggedIn();
    Texts values{"kept"};
    layer->ReadStringListAttr("WM:Network Address", values, kPc1);
    EXPECT_EQ(values, (Texts{"kept", "01010000:00A0C9123456:4006", "127.0.0.17"}));

    values.clear();
    layer->ReadStringListAttr("WM:User History", values, kPc1);
    EXPECT_EQ(values, Texts{"no value"});

    // Only a missing attribute says so; other failures add nothing.
    values.clear();
    layer->ReadStringListAttr("WM:Network Address", values, "CN=Ghost.OU=Sales.O=Acme");
    layer->ReadStringListAttr("WM:Long Text", values, kPc1);
    EXPECT_TRUE(values.empty());
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(AttributeReaders, RequestFailuresAreReported) {
    auto layer = loggedIn();
    std::string tooLongName(40, 'a');  // attribute names have at most 32 characters
    std::string attribute = tooLongName;
    EXPECT_EQ(layer->ReadStringAttr(attribute, kPc1), "ERROR");
    EXPECT_EQ(attribute, tooLongName);

    attribute = "WM:NAME Computer";
    EXPECT_EQ(layer->ReadStringAttr(attribute, "CN=PC1." + std::string(300, 'x')), "ERROR");
    EXPECT_EQ(ui_.messages, (Texts{"NDS Error in function: NWDSPutAttrName.",
                                   "NDS Error in function: NWDSSetContext."}));
}

}  // namespace
}  // namespace kestrel::browser::test
