// Start-up: where the start context comes from, the top item, the switches.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ClassicFixture.h"
#include "ProfileFile.h"

namespace kestrel::classic::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class StartupTest : public ClassicTest {};

TEST_F(StartupTest, WithoutLoginTheTreeStaysEmpty) {
    ClassicBrowser& browser = startBrowser("O=Acme");
    EXPECT_EQ(browser.treeNameText(), "NO NDS connection!");
    EXPECT_EQ(browser.tree().size(), 0u);
    EXPECT_EQ(browser.selected(), kNoItem);
    browser.remoteControl();
    browser.changeStartContext();
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(StartupTest, TopItemIsTheCurrentNameContextByDefault) {
    login();
    ClassicBrowser& browser = startBrowser();
    ItemId top = browser.tree().top();
    EXPECT_EQ(browser.tree().text(top), "[Root]");
    EXPECT_EQ(browser.tree().image(top), 0);
    EXPECT_TRUE(browser.tree().expanded(top));
    EXPECT_TRUE(browser.tree().children(top).empty());  // listed on the first double-click
    EXPECT_EQ(browser.selected(), top);
    EXPECT_EQ(browser.treeNameText(), "ACME_TREE");
    EXPECT_FALSE(browser.countryMode());
}

TEST_F(StartupTest, NameContextIsShownAsItsTypedFullName) {
    useDirectory(kestrel::test::sampleDirectoryFile(), "sales.acme");
    login("ACME_TREE", ".CN=Admin.O=Acme");
    ClassicBrowser& browser = startBrowser();
    EXPECT_EQ(browser.tree().text(browser.tree().top()), "OU=Sales.O=Acme");
    EXPECT_EQ(browser.tree().image(browser.tree().top()), 3);
}

TEST_F(StartupTest, NoSaveAloneLeavesTheStartContextToTheSettings) {
    login();
    ASSERT_TRUE(writeStartContext(profile(), "OU=Sales.O=Acme"));
    ClassicBrowser& browser = startBrowser("/nosave");
    EXPECT_EQ(browser.tree().text(browser.tree().top()), "OU=Sales.O=Acme");
    EXPECT_TRUE(browser.switches().noSave);
    EXPECT_FALSE(browser.switches().noChange);
    EXPECT_FALSE(browser.switches().noCreate);
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(StartupTest, CommandLineBeatsTheSettingsAndCountryStartsCountryMode) {
    login();
    ASSERT_TRUE(writeStartContext(profile(), "OU=Sales.O=Acme"));
    ClassicBrowser& browser = startBrowser("C=DE /nochange /nocreate");
    EXPECT_EQ(browser.tree().text(browser.tree().top()), "C=DE");
    EXPECT_EQ(browser.tree().image(browser.tree().top()), 1);
    EXPECT_TRUE(browser.countryMode());
    EXPECT_TRUE(browser.switches().noChange);
    EXPECT_TRUE(browser.switches().noCreate);
    EXPECT_FALSE(browser.switches().noSave);
}

TEST_F(StartupTest, StateOnTheCommandLineIsRefusedAndStandardOptionsApply) {
    login();
    ClassicBrowser& browser = startBrowser("S=Hessen.C=DE /nocreate");
    EXPECT_THAT(ui_.messages, ElementsAre("The commandline S=Hessen.C=DE can't be used!\n\n"
                                          "The programm will run with standard options!"));
    EXPECT_EQ(browser.tree().text(browser.tree().top()), "[Root]");
    EXPECT_TRUE(browser.switches().noCreate);
}

}  // namespace
}  // namespace kestrel::classic::test
