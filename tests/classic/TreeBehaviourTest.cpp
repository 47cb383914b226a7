// Listing children, the names walked up the tree, country mode, drag and drop, keys.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ClassicFixture.h"

namespace kestrel::classic::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TreeBehaviourTest : public ClassicTest {
  protected:
    void SetUp() override {
        ClassicTest::SetUp();
        login();
    }
    std::vector<std::string> childTexts(ItemId item) {
        std::vector<std::string> out;
        for (ItemId c : browser_->tree().children(item)) out.push_back(browser_->tree().text(c));
        return out;
    }
};

TEST_F(TreeBehaviourTest, FullNameUnderRootWalksUpToTheOrganisation) {
    ClassicBrowser& browser = startBrowser();
    ItemId ws = open({"O=Acme", "OU=Sales", "CN=WS17"});
    ASSERT_NE(ws, kNoItem);
    EXPECT_EQ(browser.tree().image(ws), 16);
    EXPECT_EQ(browser.fullName(ws), "CN=WS17.OU=Sales.O=Acme");
    EXPECT_EQ(browser.fullName(browser.tree().top()), "[Root]");
    browser.remoteControl();
    EXPECT_THAT(started_, ElementsAre("WVIEWNT.EXE -s\"Zen\" -w\"CN=WS17.OU=Sales.O=Acme\" "
                                      "-n\"ACME_TREE\" -c\"Remote Control\""));
}

TEST_F(TreeBehaviourTest, ChildrenAreSortedAndListedOnce) {
    ClassicBrowser& browser = startBrowser();
    ItemId west = open({"O=Acme", "OU=Sales", "OU=West"});
    EXPECT_TRUE(browser.activate(west));
    EXPECT_THAT(childTexts(west), ElementsAre("CN=Pc5", "CN=pc7", "CN=WS31", "CN=WS33", "CN=WS35",
                                              "CN=WS38", "OU=Lab"));
    EXPECT_FALSE(browser.activate(west));  // listed last
    ItemId ws = child(west, "CN=WS31");
    EXPECT_TRUE(browser.activate(ws));  // a workstation lists nothing, silently
    EXPECT_TRUE(browser.tree().children(ws).empty());
    EXPECT_FALSE(browser.activate(west));  // it has children now
    EXPECT_THAT(ui_.messages, IsEmpty());
    EXPECT_EQ(ui_.waitCursorDepth, 0);
}

TEST_F(TreeBehaviourTest, CountryModeWalksPastOrganisationsUpToTheCountry) {
    ClassicBrowser& browser = startBrowser("C=DE");
    ItemId ws = open({"S=Hessen", "L=Frankfurt", "O=Acme Logistik", "OU=Warehouse", "CN=FFM01"});
    ASSERT_NE(ws, kNoItem);
    EXPECT_EQ(browser.fullName(ws),
              "CN=FFM01.OU=Warehouse.O=Acme Logistik.L=Frankfurt.S=Hessen.C=DE");
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(TreeBehaviourTest, ListingACountryFromRootSwitchesCountryModeOn) {
    ClassicBrowser& browser = startBrowser();
    ItemId logistik = open({"C=DE", "S=Hessen", "L=Frankfurt", "O=Acme Logistik"});
    EXPECT_TRUE(browser.countryMode());
    EXPECT_EQ(browser.fullName(logistik), "O=Acme Logistik.L=Frankfurt.S=Hessen.C=DE");
    // The walk drops [Root] for names outside the country too.
    ItemId pc1 = open({"O=Acme", "CN=PC1"});
    EXPECT_EQ(browser.fullName(pc1), "CN=PC1.O=Acme");
}

TEST_F(TreeBehaviourTest, StartBelowACountryStillFindsOrganisationsInside) {
    ClassicBrowser& browser = startBrowser();
    ui_.newContext = "L=Frankfurt.S=Hessen.C=DE";
    browser.select(browser.tree().top());
    browser.changeStartContext();
    ItemId warehouse = open({"O=Acme Logistik", "OU=Warehouse"});
    ASSERT_NE(warehouse, kNoItem);
    EXPECT_EQ(browser.fullName(warehouse),
              "OU=Warehouse.O=Acme Logistik.L=Frankfurt.S=Hessen.C=DE");
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(TreeBehaviourTest, FailedListingNamesTheContainer) {
    ClassicBrowser& browser = startBrowser("O=Nowhere");
    browser.activate(browser.tree().top());
    EXPECT_THAT(ui_.messages, ElementsAre("NDS Error (-601) for O=Nowhere!\n\n"
                                          "Change the current context to valid value!"));
    EXPECT_TRUE(browser.tree().expanded(browser.tree().top()));
}

TEST_F(TreeBehaviourTest, WorkstationFunctionsDoNothingOnContainers) {
    ClassicBrowser& browser = startBrowser();
    open({"O=Acme", "OU=Sales"});
    browser.remoteControl();
    browser.ipPing();
    browser.workstationInfos();
    browser.wakeUp();
    browser.createShortcut();
    EXPECT_THAT(started_, IsEmpty());
    EXPECT_THAT(echo_.requests, IsEmpty());
    EXPECT_FALSE(ui_.info.has_value());
    EXPECT_THAT(ui_.messages, IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(root_ / "profile/Desktop"));
}

TEST_F(TreeBehaviourTest, DroppedItemMovesWithItsChildrenAndNamesFollow) {
    ClassicBrowser& browser = startBrowser();
    ItemId east = open({"O=Acme", "OU=Sales", "OU=East"});
    browser.activate(east);
    ItemId acme = child(browser.tree().top(), "O=Acme");
    ItemId it = child(acme, "OU=IT");
    browser.drop(east, it);
    EXPECT_FALSE(browser.tree().contains(east));
    ItemId moved = child(it, "OU=East");
    ASSERT_NE(moved, kNoItem);
    EXPECT_EQ(browser.selected(), moved);
    EXPECT_EQ(browser.tree().children(moved).size(), 5u);
    ItemId ws = child(moved, "CN=WS20");
    EXPECT_EQ(browser.fullName(ws), "CN=WS20.OU=East.OU=IT.O=Acme");
    EXPECT_EQ(ui_.beeps, 0);
}

TEST_F(TreeBehaviourTest, DropOntoItselfItsDescendantOrItsParentOnlyBeeps) {
    ClassicBrowser& browser = startBrowser();
    ItemId east = open({"O=Acme", "OU=Sales", "OU=East"});
    browser.activate(east);
    ItemId sales = browser.tree().parent(east);
    ItemId ws = browser.tree().children(east).front();
    std::size_t items = browser.tree().size();
    browser.drop(east, east);
    browser.drop(east, ws);
    browser.drop(east, sales);
    browser.drop(browser.tree().top(), ws);
    EXPECT_EQ(ui_.beeps, 4);
    EXPECT_EQ(browser.tree().size(), items);
    EXPECT_TRUE(browser.tree().contains(east));
}

TEST_F(TreeBehaviourTest, EveryKeyInTheTreeSaysTaste) {
    ClassicBrowser& browser = startBrowser();
    browser.keyPressed();
    EXPECT_THAT(ui_.messages, ElementsAre("TASTE"));
}

}  // namespace
}  // namespace kestrel::classic::test
