#include "SampleBrowserFixture.h"
#include "TreeTexts.h"

namespace kestrel::browser::test {
namespace {

class Search : public SampleBrowserTest {
  protected:
    void SetUp() override {
        SampleBrowserTest::SetUp();
        logInAsDemo();
    }
    // Searches below the selected container as if `pattern` was entered.
    void search(const std::string& pattern) {
        ui_.search = [pattern](SearchDialogState& dialog) {
            dialog.pattern = pattern;
            return true;
        };
        controller_->searchWorkstation();
    }
    std::string selected() const { return controller_->tree().selected()->text(); }
    std::string top() const { return controller_->tree().top()->text(); }
};

TEST_F(Search, MatchesTheWholeNameAndShowsTheFirstInDirectoryOrder) {
    openBrowser("[Root]");
    selectChild("O=Acme");
    // Containers count: Sales1 in OU=HQ matches as well as every workstation in OU=Sales.
    std::vector<std::string> found;
    controller_->access().Search("Workstation", found, "Sales", "O=Acme");
    ASSERT_GT(found.size(), 1u);
    EXPECT_EQ(found.front(), "CN=WS10.OU=Sales");
    EXPECT_NE(std::find(found.begin(), found.end(), "CN=Sales1.OU=HQ"), found.end());

    search("Sales");
    EXPECT_EQ(ui_.searchDialogs, 1);
    EXPECT_EQ(top(), "OU=Sales.O=Acme");
    EXPECT_EQ(selected(), "WS10");
    EXPECT_TRUE(controller_->buttons()[Button::RemoteControl].enabled);
    EXPECT_EQ(controller_->treeField(), "ACME_TREE");
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(ui_.waitCursorDepth, 0);
}

TEST_F(Search, CaseMattersAndNothingFoundIsSaid) {
    openBrowser("OU=Sales.O=Acme");
    // Several levels down, below a dotted top item.
    search("LAB0");
    EXPECT_EQ(top(), "OU=Lab.OU=West.OU=Sales.O=Acme");
    EXPECT_EQ(selected(), "LAB01");
    openBrowser("OU=Sales.O=Acme");
    search("PC");  // PC1 lies in O=Acme; Pc5 and pc7 differ in case
    EXPECT_EQ(ui_.messages,
              std::vector<std::string>{"No Workstation object matches pattern 'PC' could be "
                                       "found below container 'OU=Sales.O=Acme'!"});
    EXPECT_EQ(top(), "OU=Sales.O=Acme");

    search("pc");
    EXPECT_EQ(top(), "OU=West.OU=Sales.O=Acme");
    EXPECT_EQ(selected(), "pc7");
    EXPECT_EQ(childTexts(*controller_->tree().top()),
              (Texts{"OU=Lab", "Pc5", "pc7", "WS31", "WS33", "WS35", "WS38"}));

    // From a child of a dotted top item: the hit lies right in the base.
    selectChild("OU=Lab");
    search("LAB03");
    EXPECT_EQ(top(), "OU=Lab.OU=West.OU=Sales.O=Acme");
    EXPECT_EQ(selected(), "LAB03");
}

TEST_F(Search, StarFromTheRootUsesTheNamesAsReturned) {
    openBrowser("[Root]");
    search("*");
    EXPECT_EQ(top(), "O=Acme");
    EXPECT_EQ(selected(), "PC1");

    // Cancelled: nothing happens.
    controller_->select(controller_->tree().top());
    ui_.search = nullptr;
    controller_->searchWorkstation();
    EXPECT_EQ(top(), "O=Acme");
    EXPECT_EQ(ui_.searchDialogs, 2);
    // A workstation selected: the button is off.
    selectChild("PC1");
    controller_->searchWorkstation();
    EXPECT_EQ(ui_.searchDialogs, 2);
}

class Trees : public Search {
  protected:
    // The tree dialog with `script` pressing its buttons; OK when it returns true.
    void treeDialog(std::function<bool(TreeDialogState&)> script) {
        ui_.trees = std::move(script);
        controller_->chooseTree();
    }
};

TEST_F(Trees, OpensOnTheFirstTreeWithItsUserAndOnlyLogoutUsable) {
    openBrowser("O=Acme");
    treeDialog([](TreeDialogState& dialog) {
        EXPECT_EQ(dialog.trees(), (std::vector<std::string>{"ACME_TREE", "GLOBEX_TREE"}));
        EXPECT_EQ(dialog.tree(), "ACME_TREE");
        EXPECT_EQ(dialog.user(), "CN=Demo.OU=IT.O=Acme");
        EXPECT_TRUE(dialog.loggedIn());
        EXPECT_FALSE(dialog.userEnabled() || dialog.passwordEnabled() || dialog.loginEnabled());
        EXPECT_TRUE(dialog.logoutEnabled() && dialog.okEnabled());

        dialog.choose(1);
        EXPECT_EQ(dialog.tree(), "GLOBEX_TREE");
        EXPECT_EQ(dialog.user(), "");
        EXPECT_TRUE(dialog.userEnabled() && dialog.passwordEnabled() && dialog.loginEnabled());
        EXPECT_FALSE(dialog.logoutEnabled());
        dialog.choose(0);  // back on the tree shown: OK changes nothing
        return true;
    });
    EXPECT_EQ(ui_.treeDialogs, 1);
    EXPECT_EQ(top(), "O=Acme");
    EXPECT_GT(controller_->tree().top()->childCount(), 0u);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(Trees, AFailedLoginKeepsTheCurrentTree) {
    openBrowser("O=Acme");
    treeDialog([](TreeDialogState& dialog) {
        dialog.choose(1);
        EXPECT_FALSE(dialog.login("CN=Admin.O=Globex", "wrong"));
        EXPECT_FALSE(dialog.loggedIn());
        EXPECT_TRUE(dialog.loginEnabled());
        return true;
    });
    EXPECT_EQ(ui_.messages, (std::vector<std::string>{
                                "Couldn't login to tree 'GLOBEX_TREE' as user 'CN=Admin.O=Globex'!",
                                "You aren't logged in to tree 'GLOBEX_TREE'!"}));
    EXPECT_EQ(controller_->treeField(), "ACME_TREE");
    EXPECT_EQ(top(), "O=Acme");
}

TEST_F(Trees, LoginSwitchesToTheNewTreeAndItsSearchStaysThere) {
    openBrowser("O=Acme");
    treeDialog([](TreeDialogState& dialog) {
        dialog.choose(1);
        EXPECT_TRUE(dialog.login("CN=Admin.O=Globex", "globex"));
        EXPECT_TRUE(dialog.loggedIn() && dialog.logoutEnabled());
        EXPECT_FALSE(dialog.loginEnabled());
        return true;
    });
    EXPECT_EQ(controller_->treeField(), "GLOBEX_TREE");
    EXPECT_EQ(top(), "[Root]");
    EXPECT_EQ(controller_->tree().top()->childCount(), 0u);  // listed when expanded
    EXPECT_EQ(controller_->tree().selected(), controller_->tree().top());
    EXPECT_TRUE(ui_.messages.empty());

    controller_->listSelected();
    EXPECT_EQ(childTexts(*controller_->tree().top()), (Texts{"C=US", "O=Globex"}));
    selectChild("O=Globex");
    search("ENG05");
    EXPECT_EQ(controller_->treeField(), "GLOBEX_TREE");
    EXPECT_EQ(top(), "OU=Engineering.O=Globex");
    EXPECT_EQ(selected(), "ENG05");
    EXPECT_TRUE(ui_.messages.empty());

    // Backspace goes up in the tree shown, not in the tree of the saved start context.
    controller_->select(controller_->tree().top());
    controller_->keyPressed(kBackspaceKey);
    EXPECT_EQ(controller_->treeField(), "GLOBEX_TREE");
    EXPECT_EQ(top(), "O=Globex");
    EXPECT_NE(childTexts(*controller_->tree().top()).size(), 0u);

    // Going back to the saved start context returns to the first tree.
    controller_->gotoStartContext();
    EXPECT_EQ(controller_->treeField(), "ACME_TREE");
    EXPECT_EQ(top(), "O=Acme");
}

TEST_F(Trees, LogoutAndLoginFromNoConnection) {
    {
        CNDSAccess access(ui_);
        ASSERT_EQ(access.Logout("ACME_TREE"), 0);
    }
    openBrowser("");
    ASSERT_EQ(controller_->treeField(), "No NDS Connection!");
    EXPECT_TRUE(controller_->buttons()[Button::NdsTree].enabled);
    treeDialog([](TreeDialogState& dialog) {
        EXPECT_FALSE(dialog.loggedIn());
        EXPECT_TRUE(dialog.login("CN=Demo.OU=IT.O=Acme", "demo"));
        return true;
    });
    EXPECT_EQ(controller_->treeField(), "ACME_TREE");
    EXPECT_EQ(top(), "[Root]");
    EXPECT_TRUE(controller_->buttons()[Button::SearchWorkstation].enabled);

    treeDialog([](TreeDialogState& dialog) {
        dialog.logout();
        EXPECT_FALSE(dialog.loggedIn());
        EXPECT_TRUE(dialog.loginEnabled());
        return false;  // cancelled, but the tree shown is gone with the logout
    });
    std::string user;
    EXPECT_EQ(controller_->access().IsTreeAuthenticated("ACME_TREE", user), 0);
    EXPECT_EQ(controller_->treeField(), "No NDS Connection!");
    EXPECT_EQ(controller_->tree().top(), nullptr);
    EXPECT_FALSE(controller_->buttons()[Button::SearchWorkstation].enabled);
    EXPECT_FALSE(controller_->buttons()[Button::GotoStartContext].enabled);
    EXPECT_TRUE(controller_->buttons()[Button::NdsTree].enabled);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(Trees, WithoutTreesOnlyCancelIsLeft) {
    environment_.set("NWCLIENT_CONFIG", (root_ / "absent.ini").string());
    openBrowser("");
    treeDialog([](TreeDialogState& dialog) {
        EXPECT_TRUE(dialog.trees().empty());
        EXPECT_EQ(dialog.tree(), "");
        EXPECT_FALSE(dialog.okEnabled() || dialog.loginEnabled() || dialog.logoutEnabled());
        EXPECT_FALSE(dialog.login("x", "y"));
        return true;
    });
    EXPECT_EQ(controller_->treeField(), "No NDS Connection!");
    EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace kestrel::browser::test
