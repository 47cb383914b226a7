#include <gtest/gtest.h>

#include "MachineSnapshot.h"
#include "SecurityFixture.h"
#include "messages/MessageStrings.h"
#include "nwkit/PasswordHash.h"

namespace kestrel::setup::test {
namespace {

constexpr int kSecurityFailed = 5555;
constexpr int kGroupUnused = 5556;
constexpr int kUserUnused = 5557;
constexpr int kMembershipUnused = 5558;

using SecuritySection = SecurityFixture;

TEST_F(SecuritySection, InstallsAccountsAndUninstallsThemToTheRootAsItWas) {
    loadSecurity(
        "LocalGroup.Add ('Editors', 'People who edit')\n"
        "LocalUser.Add ('svc', 'b`b', 'Service account', PRIV_ADMIN, 'C:\\Acme', '', "
        "DONT_EXPIRE_PASSWD)\n"
        "; a comment\n"
        "LocalGroup.AddMember ('Editors', 'svc')\n"
        "Privilege.Add ('SeServiceLogonRight', '.\\svc')\n"
        "LocalGroup.AddMember ('Administrators', 'Editors')\n",
        "6.50", "");  // no section count, whose key the records' removal takes
    const MachineSnapshot before = MachineSnapshot::take(*machine_);

    ASSERT_TRUE(section(Direction::Install));
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_NE(std::find(ui_.titles.begin(), ui_.titles.end(), "Working on security commands"),
              ui_.titles.end());
    platform::LocalAccounts store = accounts();
    const auto user = store.user("svc");
    ASSERT_TRUE(user);
    // A newer script's password is unscrambled, and kept only as a salted hash.
    EXPECT_TRUE(nw::kit::verifyPassword("abc", user->passwordHash)) << user->passwordHash;
    EXPECT_EQ(user->flags, 0x10001u);  // SCRIPT always
    EXPECT_EQ(user->privilege, platform::userpriv::kAdmin);
    EXPECT_EQ(user->homeDirectory, "C:\\Acme");
    EXPECT_TRUE(store.isMember("Editors", "svc"));
    EXPECT_TRUE(store.isMember("Administrators", "Editors"));
    EXPECT_TRUE(store.hasRight("SeServiceLogonRight", "svc"));
    EXPECT_EQ(usage("LocalGroup", "Editors"), 1);
    EXPECT_EQ(usage("LocalUser", "svc"), 1);
    EXPECT_EQ(usage("LocalGroup\\Editors", "svc"), 1);
    EXPECT_EQ(usage("LocalGroup\\Administrators", "Editors"), 1);
    EXPECT_EQ(usage("Privilege\\SeServiceLogonRight", ".\\svc"), 1);

    // Last line first: Yes to the first question, All to the next, which answers the rest.
    ui_.answer({buttons::kYes, buttons::kAll});
    ASSERT_TRUE(section(Direction::Uninstall));
    EXPECT_EQ(ui_.numbers(), (std::vector<int>{kMembershipUnused, kMembershipUnused}));
    EXPECT_EQ(ui_.shown[0].box.text,
              "The membership of user 'Editors' in group 'Administrators' is no longer being "
              "used. Should this membership being deleted?");
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
}

TEST_F(SecuritySection, GroupCountedByTwoProductsGoesWithTheSecondOnly) {
    loadSecurity("LocalGroup.Add ('Editors')\n", "6.50", "Acme\\One");
    ASSERT_TRUE(section(Direction::Install));
    loadSecurity("LocalGroup.Add ('Editors')\n", "6.50", "Acme\\Two");
    ASSERT_TRUE(section(Direction::Install));
    EXPECT_EQ(usage("LocalGroup", "Editors"), 2);

    ASSERT_TRUE(section(Direction::Uninstall));
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_TRUE(accounts().groupExists("Editors"));
    EXPECT_EQ(usage("LocalGroup", "Editors"), 1);

    loadSecurity("LocalGroup.Add ('Editors')\n", "6.50", "Acme\\One");
    ui_.answer({buttons::kYes});
    ASSERT_TRUE(section(Direction::Uninstall));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{kGroupUnused});
    EXPECT_EQ(ui_.shown[0].box.text,
              "The group 'Editors' is no longer being used. Should this group now be deleted?");
    EXPECT_FALSE(accounts().groupExists("Editors"));
    EXPECT_EQ(usage("LocalGroup", "Editors"), -1);
}

TEST_F(SecuritySection, AccountsThatWereThereBeforeOutliveTheProduct) {
    platform::LocalAccounts store = accounts();
    ASSERT_EQ(store.addGroup("Staff", ""), 0);
    platform::LocalUser bob;
    bob.name = "bob";
    ASSERT_EQ(store.addUser(bob), 0);
    loadSecurity(
        "LocalGroup.Add ('Staff')\nLocalUser.Add ('bob', '', 'Changed')\nLocalUser.Add ('eve')\n",
        "5.11");
    ASSERT_TRUE(section(Direction::Install));
    EXPECT_EQ(usage("LocalGroup", "Staff"), 2);
    EXPECT_EQ(usage("LocalUser", "bob"), 2);
    EXPECT_EQ(accounts().user("bob")->comment, "Changed");
    // A user without a password needs none.
    EXPECT_EQ(accounts().user("eve")->flags, 0x21u);

    ui_.answer({buttons::kNo});
    ASSERT_TRUE(section(Direction::Uninstall));
    EXPECT_EQ(ui_.numbers(), std::vector<int>{kUserUnused});
    EXPECT_TRUE(accounts().groupExists("Staff"));
    EXPECT_TRUE(accounts().userExists("bob"));
    EXPECT_TRUE(accounts().userExists("eve"));  // No keeps it; its count is gone
    EXPECT_EQ(usage("LocalUser", "eve"), -1);
    EXPECT_EQ(usage("LocalGroup", "Staff"), 1);
}

TEST_F(SecuritySection, MalformedLinesAreReportedAndChangeNothing) {
    loadSecurity(
        "LocalGroup.Add 'NoList'\n"
        "LocalGroup.Add ('Open\n"
        "LocalGroup.Add (('Nested'))\n"
        "LocalGroup.Create ('Unknown')\n"
        "LocalUser.Add ('bob', '', '', PRIV_KING)\n"
        "LocalUser.Mod ('ghost', 'b`b')\n"
        "localgroup . add ( 'Fine' )\n");
    ui_.answer({buttons::kIgnore, buttons::kIgnore, buttons::kIgnore, buttons::kIgnore,
                buttons::kCancel, buttons::kIgnore});
    ASSERT_TRUE(section(Direction::Install));
    ASSERT_EQ(ui_.numbers(),
              (std::vector<int>{kSecurityFailed, kSecurityFailed, kSecurityFailed, kSecurityFailed,
                                messages::kIncorrectFlags, kSecurityFailed}));
    EXPECT_EQ(
        ui_.shown[0].box.text,
        "Cannot execute security command:\n\nLocalGroup.Add 'NoList'\n\nWindows error code: 0\n");
    EXPECT_EQ(ui_.shown[1].box.text,
              "Cannot execute security command:\n\nLocalGroup.Add ('Open\n\nWindows error code: "
              "87\nThe parameter is incorrect.");
    EXPECT_NE(ui_.shown[3].box.text.find("error code: 1\nIncorrect function."), std::string::npos);
    EXPECT_EQ(ui_.shown[4].box.text, "Incorrect Flags: PRIV_KING!");
    // The password is never shown.
    EXPECT_EQ(ui_.shown[5].box.text,
              "Cannot execute security command:\n\nLocalUser.Mod ('ghost', '********')\n\nWindows "
              "error code: 2221\nThe user name could not be found.");
    platform::LocalAccounts store = accounts();
    EXPECT_TRUE(store.groupExists("Fine"));
    for (const char* name : {"NoList", "Open", "Nested", "Unknown"})
        EXPECT_FALSE(store.groupExists(name)) << name;
    EXPECT_FALSE(store.userExists("bob"));
}

TEST_F(SecuritySection, CancelInTheMessageStopsTheSection) {
    loadSecurity("LocalGroup.Del ('Nobody')\nLocalGroup.Add ('Later')\n");
    ui_.answer({buttons::kCancel});
    EXPECT_FALSE(section(Direction::Install));
    EXPECT_TRUE(session_->run().abort);
    EXPECT_NE(ui_.shown.at(0).box.text.find("2220\nThe group name could not be found."),
              std::string::npos);
    EXPECT_FALSE(accounts().groupExists("Later"));
}

TEST_F(SecuritySection, OlderScriptsGivePasswordsAsWritten) {
    loadSecurity("LocalUser.Add ('svc', 'b`b')\n", "6.40");
    ASSERT_TRUE(section(Direction::Install));
    EXPECT_TRUE(nw::kit::verifyPassword("b`b", accounts().user("svc")->passwordHash));
}

TEST_F(SecuritySection, ServiceAccountCommandsAreCountedLikeSectionLines) {
    loadSecurity("");
    ASSERT_TRUE(command("LocalUser.Add ('svc', '', '', PRIV_USER)"));
    ASSERT_TRUE(command("Privilege.Add ('SeServiceLogonRight', 'svc')"));
    ASSERT_TRUE(command("Privilege.Add ('SeServiceLogonRight', 'svc')"));
    EXPECT_EQ(usage("Privilege\\SeServiceLogonRight", "svc"), 2);
    ASSERT_TRUE(command("Privilege.Add ('SeServiceLogonRight', 'svc')", Direction::Uninstall));
    EXPECT_TRUE(accounts().hasRight("SeServiceLogonRight", "svc"));
    ASSERT_TRUE(command("Privilege.Add ('SeServiceLogonRight', 'svc')", Direction::Uninstall));
    EXPECT_FALSE(accounts().hasRight("SeServiceLogonRight", "svc"));
    // Del, Mod and the removal of rights do nothing at uninstallation.
    ASSERT_TRUE(command("LocalUser.Del ('svc')", Direction::Uninstall));
    ASSERT_TRUE(command("Privilege.Del ('SeServiceLogonRight', 'svc')", Direction::Uninstall));
    EXPECT_TRUE(accounts().userExists("svc"));
    EXPECT_TRUE(ui_.shown.empty());
}

}  // namespace
}  // namespace kestrel::setup::test
