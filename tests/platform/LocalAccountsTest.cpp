#include "platform/LocalAccounts.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/WindowsErrors.h"

namespace kestrel::platform {
namespace {

namespace error = accounterror;

LocalUser named(const char* name) {
    LocalUser user;
    user.name = name;
    return user;
}

class LocalAccountsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto opened = Registry::open(dir_.path(), dir_ / "servers");
        ASSERT_TRUE(opened);
        registry_ = std::move(opened.value());
        ASSERT_EQ(registry_->createKey(RegistryRoot::LocalMachine, "Software\\Acme"), 0);
        accounts_.emplace(*registry_, "alice", "WORKSTATION");
    }
    // The store's key is gone again when everything added is deleted.
    bool storeGone() const {
        return registry_->openKey(RegistryRoot::LocalMachine, "Software\\Kestrel") != 0 &&
               registry_->openKey(RegistryRoot::LocalMachine, "Software\\Acme") == 0;
    }

    kestrel::test::TempDir dir_;
    std::unique_ptr<Registry> registry_;
    std::optional<LocalAccounts> accounts_;
};

TEST_F(LocalAccountsTest, GroupsWithMembersComeAndGoWithoutTrace) {
    LocalAccounts& store = *accounts_;
    ASSERT_EQ(store.addGroup("Editors", "Edit things"), 0);
    EXPECT_TRUE(store.groupExists("EDITORS"));
    EXPECT_EQ(store.addGroup("editors", ""), error::kAliasExists);
    EXPECT_EQ(store.lookup("Editors").value().toString(), "S-1-5-21-0-0-0-1001");
    ASSERT_EQ(store.addGroup("Readers", ""), 0);
    EXPECT_EQ(store.lookup(".\\Readers").value().toString(), "S-1-5-21-0-0-0-1002");

    EXPECT_EQ(store.addMember("Editors", "alice"), 0);
    EXPECT_EQ(store.addMember("Editors", "WORKSTATION\\Alice"), error::kMemberInAlias);
    EXPECT_EQ(store.addMember("Editors", "nobody"), error::kNoSuchMember);
    EXPECT_EQ(store.addMember("Nogroup", "alice"), error::kGroupNotFound);
    EXPECT_EQ(store.addMember("Administrators", "Editors"), 0);  // built-in groups take members
    EXPECT_TRUE(store.isMember("administrators", "Editors"));
    EXPECT_EQ(store.members("Editors"), std::vector<std::string>{"S-1-5-21-0-0-0-1000"});

    EXPECT_EQ(store.deleteGroup("Administrators"), error::kSpecialAccount);
    // A deleted group leaves no membership behind.
    EXPECT_EQ(store.deleteGroup("Editors"), 0);
    EXPECT_FALSE(store.isMember("Administrators", "S-1-5-21-0-0-0-1001"));
    EXPECT_EQ(store.deleteGroup("Editors"), error::kGroupNotFound);
    EXPECT_EQ(store.deleteGroup("Readers"), 0);
    EXPECT_TRUE(storeGone());
}

TEST_F(LocalAccountsTest, UsersAreChangedFieldByFieldAndDeletedWithTheirRights) {
    LocalAccounts& store = *accounts_;
    LocalUser user;
    user.name = "svc";
    user.passwordHash = "$6$salt$hash";
    user.comment = "Service";
    user.flags = 0x201;
    ASSERT_EQ(store.addUser(user), 0);
    EXPECT_EQ(store.addUser(user), error::kUserExists);
    LocalUserChanges changes;
    changes.comment = "Renamed";
    changes.privilege = userpriv::kAdmin;
    ASSERT_EQ(store.changeUser("SVC", changes), 0);
    const auto changed = store.user("svc");
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->comment, "Renamed");
    EXPECT_EQ(changed->passwordHash, "$6$salt$hash");
    EXPECT_EQ(changed->privilege, userpriv::kAdmin);
    EXPECT_EQ(changed->flags, 0x201u);
    EXPECT_EQ(store.changeUser("ghost", changes), error::kUserNotFound);

    EXPECT_EQ(store.addRight("seservicelogonright", "svc"), 0);
    EXPECT_TRUE(store.hasRight("SeServiceLogonRight", ".\\svc"));
    EXPECT_EQ(store.addRight("SeFlyingRight", "svc"), error::kNoSuchPrivilege);
    EXPECT_EQ(store.addRight("SeServiceLogonRight", "ghost"), error::kNoneMapped);
    EXPECT_EQ(store.addMember("Users", "svc"), 0);

    EXPECT_EQ(store.deleteUser("alice"), error::kSpecialAccount);
    EXPECT_EQ(store.deleteUser("Administrator"), error::kSpecialAccount);
    ASSERT_EQ(store.deleteUser("svc"), 0);
    EXPECT_FALSE(store.userExists("svc"));
    EXPECT_TRUE(storeGone());
}

TEST_F(LocalAccountsTest, NamesThatWouldLeaveTheStoreAreRefused) {
    LocalAccounts& store = *accounts_;
    for (const char* bad : {"", "a\\b", "..\\..\\Acme", "x*", "dot."}) {
        EXPECT_EQ(store.addGroup(bad, ""), error::kBadUsername) << bad;
        EXPECT_EQ(store.addUser(named(bad)), error::kBadUsername) << bad;
    }
    EXPECT_EQ(store.addGroup("Administrator", ""), error::kUserExists);
    EXPECT_EQ(store.addUser(named("Guests")), error::kUserExists);
    EXPECT_EQ(store.lookup("OTHERDOMAIN\\alice").error(), error::kNoneMapped);
    EXPECT_EQ(store.lookup("NT AUTHORITY\\SYSTEM").value().toString(), "S-1-5-18");
    EXPECT_TRUE(storeGone());
}

}  // namespace
}  // namespace kestrel::platform
