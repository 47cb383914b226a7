#include "DirectoryFixture.h"

namespace kestrel::browser::test {
namespace {

using Texts = std::vector<std::string>;
using ObjectSearch = DirectoryTest;

TEST_F(ObjectSearch, StarFindsEveryObjectOfTheClassInDirectoryOrder) {
    auto layer = loggedIn();
    Texts found;
    layer->Search("Workstation", found, "*", "O=Acme");
    ASSERT_EQ(found.size(), 4u + kBigContainerSize);  // several result buffers
    EXPECT_EQ(Texts(found.begin(), found.begin() + 5),
              (Texts{"CN=PC1.OU=Sales", "CN=PC2.OU=Sales", "CN=Sales1.OU=HQ", "CN=NB1",
                     "CN=WS001.OU=Big"}));
    EXPECT_EQ(found.back(), "CN=WS500.OU=Big");

    found.clear();
    layer->Search("Organizational Unit", found, "*", "O=Acme");
    EXPECT_EQ(found, (Texts{"OU=Sales", "OU=HQ", "OU=Staff", "OU=Big"}));
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ObjectSearch, PatternIsACaseSensitivePieceOfTheWholeName) {
    auto layer = loggedIn();
    Texts found;
    layer->Search("Workstation", found, "pc", "O=Acme");
    EXPECT_TRUE(found.empty());
    layer->Search("Workstation", found, "Sales", "O=Acme");
    EXPECT_EQ(found, (Texts{"CN=PC1.OU=Sales", "CN=PC2.OU=Sales", "CN=Sales1.OU=HQ"}));

    found.clear();
    layer->Search("Workstation", found, "PC", "OU=Sales.O=Acme");
    EXPECT_EQ(found, (Texts{"CN=PC1", "CN=PC2"}));  // relative to the base
}

TEST_F(ObjectSearch, FromTheRootNamesAreFull) {
    auto layer = loggedIn();
    Texts found;
    layer->Search("Workstation", found, "PC", "[Root]");
    EXPECT_EQ(found, (Texts{"CN=PC1.OU=Sales.O=Acme", "CN=PC2.OU=Sales.O=Acme"}));
}

TEST_F(ObjectSearch, FailuresFindNothing) {
    auto layer = access();
    Texts found;
    layer->Search("Workstation", found, "*", "O=Acme");  // not logged in: silent
    EXPECT_TRUE(found.empty());
    EXPECT_TRUE(ui_.messages.empty());

    layer = loggedIn();
    layer->Search("Workstation", found, "*", std::string(300, 'x'));
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(ui_.messages, Texts{"NDS Error in function: NWDSSetContext."});
}

}  // namespace
}  // namespace kestrel::browser::test
