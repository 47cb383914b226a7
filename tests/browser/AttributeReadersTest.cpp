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

    attribute = "WM:NAME DNS";
    EXPECT_EQ(layer->ReadStringAttr(attribute, kPc1), "ERROR");
    EXPECT_EQ(attribute, "WM:NAME DNS");
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
    EXPECT_TRUE(values.empty());
    EXPECT_TRUE(ui_.messages.empty());
}

// Values larger than the customary reply buffer of 256 bytes are read whole.
TEST_F(AttributeReaders, LongValuesAreReadWhole) {
    auto layer = loggedIn();
    const std::string longText(300, 'x');
    std::string attribute = "WM:Long Text";
    EXPECT_EQ(layer->ReadStringAttr(attribute, kPc1), longText);
    EXPECT_EQ(attribute, longText);
    Texts values;
    layer->ReadStringListAttr("WM:Long Text", values, kPc1);
    EXPECT_EQ(values, Texts{longText});
    EXPECT_TRUE(ui_.messages.empty());
}

// The directory file allows values of up to 60000 bytes; the largest reads whole too.
TEST(LargeAttributeValues, AreReadWhole) {
    using kestrel::test::DirectoryBuilder;
    using kestrel::test::Json;
    kestrel::test::ClientWorld world;
    const std::string large(60000, 'y');
    Json attributes = Json::object();
    attributes["WM:Large"] = Json::array({"first", large, "last"});
    world.useDirectory(DirectoryBuilder()
                           .tree(kAcme)
                           .object("O=Acme", "Organization")
                           .user(kAdmin)
                           .object("CN=PC9.O=Acme", "Workstation", attributes),
                       {.defaultTree = kAcme, .nameContext = "O=Acme"});
    ScriptedUi ui;
    CNDSAccess layer(ui);
    ASSERT_EQ(layer.Login(kAcme, kAdmin, kPassword), 0);

    Texts values;
    layer.ReadStringListAttr("WM:Large", values, "CN=PC9.O=Acme");
    EXPECT_EQ(values, (Texts{"first", large, "last"}));
    std::string attribute = "WM:Large";
    EXPECT_EQ(layer.ReadStringAttr(attribute, "CN=PC9.O=Acme"), "last");
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace kestrel::browser::test
