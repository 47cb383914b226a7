#include "DirectoryFixture.h"
#include "TreeTexts.h"
#include "window/BrowserController.h"
#include "window/TreeImages.h"

namespace kestrel::browser::test {
namespace {

TreeItem* childNamed(const TreeItem& item, const std::string& text) {
    for (std::size_t i = 0; i < item.childCount(); ++i)
        if (item.child(i).text() == text) return &item.child(i);
    return nullptr;
}

class Browser : public DirectoryTest {
  protected:
    BrowserController& setUpBrowser() {
        controller_ = std::make_unique<BrowserController>(app_, ui_, SettingsFile());
        controller_->setUp();
        return *controller_;
    }
    TreeItem& top() { return *controller_->tree().top(); }
    bool enabled(Button button) { return controller_->buttons()[button].enabled; }
    void logIn() { EXPECT_EQ(access()->Login(kAcme, kAdmin, kPassword), 0); }
    std::filesystem::path settingsPath() { return root_ / "config/kestrel/KESTRELSCOPE.INI"; }

    CKestrelscopeApp app_;
    std::unique_ptr<BrowserController> controller_;
};

TEST_F(Browser, LoggedInOpensTheRootOfTheCurrentTreeAndListsIt) {
    logIn();
    auto& browser = setUpBrowser();
    EXPECT_EQ(browser.treeField(), kAcme);
    EXPECT_EQ(top().text(), "[Root]");
    EXPECT_EQ(top().image(), kImageRoot);
    EXPECT_EQ(childTexts(top()), (Texts{"C=DE", "O=Acme"}));
    EXPECT_EQ(top().child(0).image(), kImageCountry);
    EXPECT_TRUE(top().expanded());
    EXPECT_EQ(browser.tree().selected(), &top());
    EXPECT_EQ(app_.startTree, kAcme);
    EXPECT_EQ(app_.savedStartTree, kAcme);
    EXPECT_EQ(app_.savedStartContext, "[Root]");
    EXPECT_TRUE(enabled(Button::ChangeStartContext));
    EXPECT_FALSE(enabled(Button::RemoteControl));
    EXPECT_GT(ui_.waitCursorUses, 0);
    EXPECT_EQ(ui_.waitCursorDepth, 0);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_TRUE(ui_.questions.empty());
}

TEST_F(Browser, ChildrenListOnceSortedAndSelectionSwitchesTheButtons) {
    logIn();
    app_.startContext = "O=Acme";
    auto& browser = setUpBrowser();
    EXPECT_EQ(top().image(), kImageOrganization);
    EXPECT_EQ(childTexts(top()),
              (Texts{"L=Berlin", "NB1", "OU=Big", "OU=HQ", "OU=Sales", "OU=Staff"}));

    TreeItem* sales = childNamed(top(), "OU=Sales");
    browser.select(sales);
    EXPECT_TRUE(enabled(Button::InventoryQuery));
    EXPECT_TRUE(browser.listSelected());
    EXPECT_EQ(childTexts(*sales), (Texts{"PC1", "PC2"}));
    EXPECT_FALSE(browser.listSelected());  // listed once
    browser.keyPressed(kKeypadPlusKey);
    EXPECT_EQ(sales->childCount(), 2u);

    TreeItem* pc1 = childNamed(*sales, "PC1");
    EXPECT_EQ(pc1->image(), kImageWorkstation);
    browser.select(pc1);
    EXPECT_TRUE(enabled(Button::RemoteControl));
    EXPECT_TRUE(enabled(Button::CreateShortcut));
    EXPECT_FALSE(enabled(Button::InventoryQuery));
    EXPECT_FALSE(enabled(Button::ChangeStartContext));
    // A workstation has nothing to list, and says nothing about it.
    EXPECT_TRUE(browser.listSelected());
    EXPECT_EQ(pc1->childCount(), 0u);
    EXPECT_TRUE(pc1->expanded());
    EXPECT_TRUE(ui_.messages.empty());

    // Users and groups alone leave a container expanded and empty.
    TreeItem* staff = childNamed(top(), "OU=Staff");
    browser.select(staff);
    browser.keyPressed(kKeypadPlusKey);
    EXPECT_EQ(staff->childCount(), 0u);
    EXPECT_TRUE(staff->expanded());
    EXPECT_EQ(ui_.waitCursorDepth, 0);
}

TEST_F(Browser, BackspaceMovesTheTopUpUntilRoot) {
    logIn();
    app_.startContext = "OU=Sales.O=Acme";
    auto& browser = setUpBrowser();
    EXPECT_EQ(childTexts(top()), (Texts{"PC1", "PC2"}));

    // Only on the top item.
    browser.select(&top().child(0));
    browser.keyPressed(kBackspaceKey);
    EXPECT_EQ(top().text(), "OU=Sales.O=Acme");

    browser.select(&top());
    browser.keyPressed(kBackspaceKey);
    EXPECT_EQ(top().text(), "O=Acme");
    EXPECT_EQ(top().childCount(), 6u);
    EXPECT_EQ(browser.currentStartContext(), "O=Acme");
    browser.keyPressed(kBackspaceKey);
    EXPECT_EQ(top().text(), "[Root]");
    TreeItem* before = &top();
    browser.keyPressed(kBackspaceKey);
    EXPECT_EQ(&top(), before);  // nothing happens on [Root]
    EXPECT_EQ(browser.treeField(), kAcme);

    // The container walk below [Root] and below a dotted top item.
    TreeItem* acme = childNamed(top(), "O=Acme");
    browser.select(acme);
    browser.listSelected();
    TreeItem* sales = childNamed(*acme, "OU=Sales");
    browser.select(sales);
    browser.listSelected();
    EXPECT_EQ(childTexts(*sales), (Texts{"PC1", "PC2"}));

    // Goto returns to the start context of the set-up.
    browser.gotoStartContext();
    EXPECT_EQ(top().text(), "OU=Sales.O=Acme");
    EXPECT_EQ(top().childCount(), 2u);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(Browser, ChangeStartContextOpensTheEditedName) {
    logIn();
    app_.startContext = "O=Acme";
    auto& browser = setUpBrowser();
    TreeItem* sales = childNamed(top(), "OU=Sales");
    browser.select(sales);

    ui_.changeContext = [](ChangeContextDialogState&) { return true; };  // SET, unchanged
    browser.changeStartContext();
    EXPECT_EQ(top().text(), "O=Acme");
    EXPECT_EQ(&top().child(4), sales);  // the same tree

    ui_.changeContext = [](ChangeContextDialogState& dialog) {
        dialog.field = "changed";
        return false;  // Cancel
    };
    browser.changeStartContext();
    EXPECT_EQ(top().text(), "O=Acme");

    ui_.changeContext = [](ChangeContextDialogState&) { return true; };
    browser.select(sales);
    ui_.changeContext = [](ChangeContextDialogState& dialog) {
        dialog.up();
        dialog.up();
        return true;
    };
    browser.changeStartContext();
    EXPECT_EQ(ui_.shownNames.back(), "OU=Sales.O=Acme");
    EXPECT_EQ(top().text(), "[Root]");
    EXPECT_EQ(childTexts(top()), (Texts{"C=DE", "O=Acme"}));

    // A workstation cannot be a start context: the button is off and nothing opens.
    browser.select(childNamed(top(), "O=Acme"));
    browser.listSelected();
    browser.select(childNamed(*childNamed(top(), "O=Acme"), "NB1"));
    std::size_t shown = ui_.shownNames.size();
    browser.changeStartContext();
    browser.saveStartContext();
    EXPECT_EQ(ui_.shownNames.size(), shown);
}

TEST_F(Browser, SaveWritesTheContextAndItsTreeAndGotoReturnsToIt) {
    logIn();
    app_.startContext = "O=Acme";
    auto& browser = setUpBrowser();
    browser.select(childNamed(top(), "OU=Sales"));
    ui_.saveContext = [](SaveContextDialogState&) { return true; };
    browser.saveStartContext();
    EXPECT_EQ(ui_.shownNames.back(), "OU=Sales.O=Acme");
    std::string saved = kestrel::test::readFile(settingsPath());
    EXPECT_NE(saved.find("StartContext=OU=Sales.O=Acme"), std::string::npos) << saved;
    EXPECT_NE(saved.find("StartTree=ACME_TREE"), std::string::npos) << saved;
    EXPECT_EQ(app_.savedStartContext, "OU=Sales.O=Acme");

    browser.gotoStartContext();
    EXPECT_EQ(top().text(), "OU=Sales.O=Acme");

    // CLEAR, then SAVE: both keys emptied, and Goto has nowhere to go.
    ui_.saveContext = [](SaveContextDialogState& dialog) {
        dialog.clear();
        return true;
    };
    browser.saveStartContext();
    EXPECT_EQ(app_.savedStartContext, "");
    EXPECT_EQ(app_.savedStartTree, "");
    saved = kestrel::test::readFile(settingsPath());
    EXPECT_NE(saved.find("StartTree=\r\n"), std::string::npos) << saved;
    browser.select(&top().child(0));
    browser.gotoStartContext();
    EXPECT_EQ(ui_.messages, Texts{"Start Context cann't be set, because no values have been set!"});
    EXPECT_EQ(top().text(), "OU=Sales.O=Acme");
    EXPECT_TRUE(top().child(0).expanded());  // the selected item was listed

    // Without a saved tree, Backspace stays in the tree shown.
    browser.select(&top());
    browser.keyPressed(kBackspaceKey);
    EXPECT_EQ(top().text(), "O=Acme");
    EXPECT_EQ(browser.treeField(), kAcme);
    EXPECT_EQ(top().childCount(), 6u);
}

TEST_F(Browser, CancelledSaveRereadsTheSavedPairAndWriteFailuresAreReported) {
    logIn();
    std::filesystem::create_directories(settingsPath().parent_path());
    kestrel::test::writeFile(settingsPath(),
                             "[NDS Settings]\nStartContext=OU=HQ.O=Acme\nStartTree=ACME_TREE\n");
    app_.startContext = "O=Acme";  // as from the command line
    auto& browser = setUpBrowser();
    EXPECT_EQ(app_.savedStartContext, "O=Acme");
    browser.saveStartContext();  // cancelled
    EXPECT_EQ(app_.savedStartContext, "OU=HQ.O=Acme");
    browser.gotoStartContext();
    EXPECT_EQ(top().text(), "OU=HQ.O=Acme");

    // A folder where the file should be cannot be replaced.
    std::filesystem::remove(settingsPath());
    std::filesystem::create_directory(settingsPath());
    ui_.saveContext = [](SaveContextDialogState&) { return true; };
    browser.saveStartContext();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0],
              "The settings couldn't be written to '" + settingsPath().string() + "'!");
    EXPECT_EQ(app_.savedStartContext, "");
}

TEST_F(Browser, InventoryServerDialogUsesOrSavesANonEmptyEntry) {
    logIn();
    app_.inventoryServer = "10.0.0.1";
    auto& browser = setUpBrowser();
    EXPECT_EQ(browser.inventoryServerField(), "10.0.0.1");

    ui_.inventoryServer = [](InventoryServerDialogState& dialog) {
        dialog.server = "10.0.0.2";
        return InventoryServerAnswer::UseNow;
    };
    browser.inventoryServerButton();
    EXPECT_EQ(ui_.shownServers, Texts{"10.0.0.1"});
    EXPECT_EQ(browser.inventoryServerField(), "10.0.0.2");
    EXPECT_FALSE(std::filesystem::exists(settingsPath()));

    ui_.inventoryServer = [](InventoryServerDialogState& dialog) {
        dialog.server.clear();
        return InventoryServerAnswer::UseAndSave;
    };
    browser.inventoryServerButton();
    EXPECT_EQ(browser.inventoryServerField(), "10.0.0.2");
    EXPECT_FALSE(std::filesystem::exists(settingsPath()));

    ui_.inventoryServer = [](InventoryServerDialogState& dialog) {
        dialog.server = "10.0.0.3";
        return InventoryServerAnswer::Cancel;
    };
    browser.inventoryServerButton();
    EXPECT_EQ(browser.inventoryServerField(), "10.0.0.2");

    ui_.inventoryServer = [](InventoryServerDialogState& dialog) {
        dialog.server = "10.0.0.4";
        return InventoryServerAnswer::UseAndSave;
    };
    browser.inventoryServerButton();
    EXPECT_EQ(browser.inventoryServerField(), "10.0.0.4");
    EXPECT_EQ(SettingsFile().read(kInventoryServerKey), "10.0.0.4");

    // Only an IP address can be chosen as the kind of server name.
    EXPECT_TRUE(InventoryServerDialogState::selectable(InventoryServerKind::IpAddress));
    EXPECT_FALSE(InventoryServerDialogState::selectable(InventoryServerKind::DnsName));
    EXPECT_FALSE(InventoryServerDialogState::selectable(InventoryServerKind::DirectoryName));
}

TEST_F(Browser, SwitchedOffButtonsOpenNothing) {
    logIn();
    app_.switches.noInventory = app_.switches.noHelp = true;
    app_.switches.noChange = app_.switches.noSave = true;
    auto& browser = setUpBrowser();
    browser.inventoryServerButton();
    browser.help();
    browser.changeStartContext();
    browser.saveStartContext();
    EXPECT_TRUE(ui_.shownServers.empty());
    EXPECT_TRUE(ui_.helpTexts.empty());
    EXPECT_TRUE(ui_.shownNames.empty());
    browser.about();
    EXPECT_EQ(ui_.aboutTexts, Texts{"Version 2.1 Rev.B"});
}

TEST_F(Browser, MissingDesktopLeavesOnlyTheViewerAndDirectoryFunctions) {
    logIn();
    app_.startContext = "OU=Sales.O=Acme";
    app_.switches.onlyView = app_.switches.onlyControl = true;
    auto& browser = setUpBrowser();
    browser.select(&top().child(0));
    for (Button button : {Button::RemoteControl, Button::RemoteView, Button::WorkstationInfo,
                          Button::WorkstationInventory, Button::IpPing})
        EXPECT_TRUE(enabled(button)) << buttonCaption(button);
    for (Button button : {Button::PingAgent, Button::FileTransfer, Button::RemoteExecute,
                          Button::Chat, Button::Diagnostics, Button::Inventory})
        EXPECT_FALSE(enabled(button)) << buttonCaption(button);
}

using StartUpLogin = Browser;

TEST_F(StartUpLogin, OkOnlyAfterASuccessfulLogin) {
    app_.startTree = kAcme;
    app_.startContext = "O=Acme";
    ui_.login = [this](LoginDialogState& dialog) {
        EXPECT_EQ(dialog.tree(), kAcme);
        EXPECT_FALSE(dialog.okEnabled());
        EXPECT_TRUE(dialog.loginEnabled());
        EXPECT_FALSE(LoginDialogState::logoutEnabled());
        EXPECT_FALSE(dialog.login("CN=Admin.O=Acme", "wrong"));
        EXPECT_EQ(ui_.messages,
                  Texts{"Couldn't login to tree 'ACME_TREE' as user 'CN=Admin.O=Acme'!"});
        EXPECT_FALSE(dialog.okEnabled());
        EXPECT_TRUE(dialog.loginEnabled() && dialog.cancelEnabled());
        EXPECT_TRUE(dialog.login("CN=Admin.O=Acme", kPassword));
        EXPECT_TRUE(dialog.okEnabled() && dialog.cancelEnabled());
        EXPECT_FALSE(dialog.loginEnabled());
        return true;
    };
    auto& browser = setUpBrowser();
    EXPECT_EQ(ui_.questions, Texts{"You are NOT authenticated to the preselected NDS tree "
                                   "'ACME_TREE'!\nWould you like to Login?"});
    EXPECT_EQ(ui_.loginDialogs, 1);
    EXPECT_EQ(browser.treeField(), kAcme);
    EXPECT_EQ(top().text(), "O=Acme");
    EXPECT_EQ(top().childCount(), 6u);
    EXPECT_EQ(ui_.waitCursorDepth, 0);
}

TEST_F(StartUpLogin, CancelEmptiesTheTreeAndNoEmptiesTreeAndContext) {
    app_.startTree = kAcme;
    app_.startContext = "O=Acme";
    ui_.login = [](LoginDialogState& dialog) {
        dialog.login("CN=Admin.O=Acme", "wrong");
        return false;
    };
    auto& browser = setUpBrowser();
    EXPECT_EQ(browser.treeField(), kNoConnection);
    EXPECT_EQ(browser.tree().top(), nullptr);
    EXPECT_EQ(app_.startTree, "");
    EXPECT_EQ(app_.startContext, "O=Acme");
    EXPECT_FALSE(enabled(Button::GotoStartContext));
    EXPECT_TRUE(enabled(Button::NdsTree));

    ui_ = {};
    app_ = {};
    app_.startTree = kAcme;
    app_.startContext = "O=Acme";
    ui_.answers = {false};
    setUpBrowser();
    EXPECT_EQ(ui_.loginDialogs, 0);
    EXPECT_EQ(app_.startTree, "");
    EXPECT_EQ(app_.startContext, "");
    EXPECT_EQ(controller_->treeField(), kNoConnection);
}

// Logged in to another tree than the preselected one: the start context belongs to the
// preselected tree, and a cancelled login must not open it in the other tree.
TEST_F(StartUpLogin, CancelWithAStartContextOfThatTreeShowsNoConnection) {
    ASSERT_EQ(access()->Login(kGlobex, "CN=Boss.O=Globex", kPassword), 0);
    app_.startTree = kAcme;
    app_.startContext = "OU=Sales.O=Acme";
    auto& browser = setUpBrowser();
    EXPECT_EQ(ui_.loginDialogs, 1);
    EXPECT_EQ(browser.treeField(), kNoConnection);
    EXPECT_EQ(browser.tree().top(), nullptr);
    EXPECT_FALSE(enabled(Button::ChangeStartContext));

    // Without a start context the tree the workstation is logged in to opens at its root.
    ui_ = {};
    app_ = {};
    app_.startTree = kAcme;
    setUpBrowser();
    EXPECT_EQ(controller_->treeField(), kGlobex);
    EXPECT_EQ(top().text(), "[Root]");
    EXPECT_NE(top().childCount(), 0u);
}

TEST_F(Browser, ListingAfterALogoutElsewhereSaysWhyAndDisablesTheButtons) {
    logIn();
    app_.startContext = "O=Acme";
    auto& browser = setUpBrowser();
    ASSERT_EQ(access()->Logout(kAcme), 0);
    browser.select(childNamed(top(), "OU=Sales"));
    ASSERT_TRUE(enabled(Button::SearchWorkstation));
    browser.listSelected();
    EXPECT_EQ(ui_.messages, Texts{"You aren't logged in to tree 'ACME_TREE'!"});
    EXPECT_EQ(browser.treeField(), kNoConnection);
    EXPECT_EQ(browser.tree().top(), nullptr);
    EXPECT_FALSE(enabled(Button::SearchWorkstation));
    EXPECT_FALSE(enabled(Button::ChangeStartContext));
    EXPECT_TRUE(enabled(Button::NdsTree));
    EXPECT_EQ(ui_.waitCursorDepth, 0);
}

TEST_F(StartUpLogin, AuthenticatedStartTreeAsksNothing) {
    logIn();
    app_.startTree = kAcme;
    setUpBrowser();
    EXPECT_TRUE(ui_.questions.empty());
    EXPECT_EQ(top().text(), "[Root]");
}

using BadStart = Browser;

TEST_F(BadStart, NotLoggedInShowsNoConnectionAndAnEmptyTree) {
    auto& browser = setUpBrowser();
    EXPECT_EQ(browser.treeField(), "No NDS Connection!");
    EXPECT_EQ(browser.tree().top(), nullptr);
    EXPECT_TRUE(ui_.questions.empty());
    EXPECT_TRUE(enabled(Button::Help) && enabled(Button::About) && enabled(Button::Ok));
    EXPECT_FALSE(enabled(Button::InventoryServer) || enabled(Button::SearchWorkstation));
    // Keys and buttons on an empty tree do nothing.
    browser.keyPressed(kBackspaceKey);
    browser.keyPressed(kKeypadPlusKey);
    browser.gotoStartContext();
    EXPECT_FALSE(browser.listSelected());
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(BadStart, ContextThatNamesNothingOpensEmpty) {
    logIn();
    app_.startContext = "OU=Nowhere.O=Acme";
    auto& browser = setUpBrowser();
    EXPECT_EQ(browser.treeField(), kAcme);
    EXPECT_EQ(top().text(), "OU=Nowhere.O=Acme");
    EXPECT_EQ(top().childCount(), 0u);
    EXPECT_TRUE(top().expanded());

    // Nor does a text that is no name at all stop the browser.
    ui_.changeContext = [](ChangeContextDialogState& dialog) {
        dialog.field = "..=.[Root";
        return true;
    };
    browser.changeStartContext();
    EXPECT_EQ(top().text(), "..=.[Root");
    EXPECT_EQ(top().image(), kImageUnknown);
    EXPECT_EQ(browser.treeField(), kAcme);
}

TEST_F(BadStart, UnconfiguredClientOpensWithoutConnection) {
    // No configuration file, then a directory file that is no JSON.
    environment_.set("NWCLIENT_CONFIG", (root_ / "absent.ini").string());
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt == 1) {
            environment_.set("NWCLIENT_CONFIG", (root_ / "nwclient.ini").string());
            kestrel::test::writeFile(root_ / "directory.json", "{ no");
        }
        ui_ = {};
        app_ = {};
        app_.startTree = kAcme;
        ui_.login = [](LoginDialogState& dialog) { return dialog.login(kAdmin, kPassword); };
        auto& browser = setUpBrowser();
        EXPECT_EQ(ui_.messages,
                  Texts{"Couldn't login to tree 'ACME_TREE' as user 'CN=Admin.O=Acme'!"});
        EXPECT_EQ(browser.treeField(), kNoConnection);
        EXPECT_EQ(browser.tree().top(), nullptr);
        EXPECT_EQ(app_.startTree, "");
    }
}

TEST_F(Browser, RenewedLayerBecomesTheSharedOne) {
    logIn();
    auto& browser = setUpBrowser();
    CNDSAccess& renewed = browser.renewAccess();
    EXPECT_EQ(&browser.access(), &renewed);
    EXPECT_NE(renewed.IsAuthenticated(), 0);  // a fresh context sees the same logins
}

}  // namespace
}  // namespace kestrel::browser::test
