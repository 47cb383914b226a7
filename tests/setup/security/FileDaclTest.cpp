#include <gtest/gtest.h>
#include <sys/xattr.h>

#include "SecurityFixture.h"
#include "messages/MessageStrings.h"
#include "platform/FileSecurity.h"
#include "system/FileDaclEdit.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;
using platform::Ace;
using platform::AceType;
namespace access = platform::fileaccess;

const platform::Sid kUsers{5, {32, 545}};
const platform::Sid kEveryone{1, {0}};
constexpr std::uint8_t kPassedOn =
    platform::aceflags::kObjectInherit | platform::aceflags::kContainerInherit;

TEST(DaclRights, AccessFlagsCombineAsTheEditorDoes) {
    EXPECT_EQ(daclRights(dacl::kFull), access::kAllAccess);
    EXPECT_EQ(daclRights(dacl::kChange), access::kGenericRead | access::kGenericWrite |
                                             access::kGenericExecute | access::kDelete);
    EXPECT_EQ(daclRights(dacl::kReadExecute | dacl::kTakeOwnership),
              access::kGenericRead | access::kGenericExecute | access::kWriteOwner);
    EXPECT_EQ(daclRights(dacl::kRead | dacl::kChangePermissions),
              access::kGenericRead | access::kWriteDac);
    EXPECT_EQ(daclRights(dacl::kDeny | dacl::kNotSpecified), 0u);
    // E is EXECUTE, the first of its two entries.
    EXPECT_EQ(parseFlags("E", daclAccessFlags()).value(), dacl::kExecute);
}

TEST(DaclEdit, GrantDenyRevokeAndReplace) {
    const platform::Sid other{5, {32, 544}};
    std::vector<Ace> aces = {{AceType::Allowed, 0, access::kGenericRead, kUsers},
                             {AceType::Allowed, 0, access::kAllAccess, other},
                             {AceType::Allowed, platform::aceflags::kInherited, 1, kUsers}};
    editAccessList(aces, {dacl::kGrant, dacl::kWrite, kUsers}, false);
    EXPECT_EQ(aces[0].mask, access::kGenericRead | access::kGenericWrite);
    editAccessList(aces, {dacl::kReplaceAce, dacl::kDelete, kUsers}, false);
    EXPECT_EQ(aces.back().flags, platform::aceflags::kInherited);  // inherited ones stay last
    EXPECT_EQ(aces[1], (Ace{AceType::Allowed, 0, access::kDelete, kUsers}));
    editAccessList(aces, {dacl::kGrant, dacl::kDeny | dacl::kWrite, kEveryone}, true);
    EXPECT_EQ(aces[0], (Ace{AceType::Denied, kPassedOn, access::kGenericWrite, kEveryone}));
    editAccessList(aces, {dacl::kRevoke, 0, kUsers}, false);
    EXPECT_EQ(aces.size(), 3u);  // the inherited entry of Users is not the list's own
    editAccessList(aces, {dacl::kReplaceAcl, dacl::kRead, kUsers}, false);
    EXPECT_EQ(aces, (std::vector<Ace>{{AceType::Allowed, 0, access::kGenericRead, kUsers}}));
}

class FileDacl : public SecurityFixture {
  protected:
    void SetUp() override {
        put("C:\\Acme\\data.txt", "d");
        put("C:\\Acme\\dir\\a.txt", "a");
        put("C:\\Acme\\dir\\sub\\b.log", "b");
        if (::setxattr(host("C:\\Acme\\data.txt").c_str(), "user.probe", "1", 1, 0) != 0)
            GTEST_SKIP() << "no user extended attributes here";
        ::removexattr(host("C:\\Acme\\data.txt").c_str(), "user.probe");
    }
    std::vector<Ace> aces(std::string_view windowsPath) {
        const auto descriptor = platform::readFileSecurity(
            host(windowsPath), {{5, {21, 0, 0, 0, 1000}}, {5, {21, 0, 0, 0, 513}}});
        return descriptor && descriptor->dacl ? *descriptor->dacl : std::vector<Ace>{};
    }
    bool hasOwnDescriptor(std::string_view windowsPath) {
        return ::getxattr(host(windowsPath).c_str(), "user.wine.sd", nullptr, 0) > 0;
    }
};

TEST_F(FileDacl, EditsTheDescriptorWineKeepsAndLeavesItAtUninstallation) {
    const std::vector<Ace> fromMode = aces("C:\\Acme\\data.txt");
    loadSecurity(
        "FileDacl.Add ('%App%\\data.txt', 'Users', GRANT, , READ)\n"
        "FileDacl.Add ('C:\\Acme\\data.txt', 'Everyone', GRANT, DENY|W)\n");
    ASSERT_TRUE(section(Direction::Install));
    EXPECT_TRUE(ui_.shown.empty());
    std::vector<Ace> expected = fromMode;
    expected.insert(expected.begin(), Ace{AceType::Denied, 0, access::kGenericWrite, kEveryone});
    expected.push_back({AceType::Allowed, 0, access::kGenericRead, kUsers});
    EXPECT_EQ(aces("C:\\Acme\\data.txt"), expected);

    // Permissions are not taken back.
    ASSERT_TRUE(section(Direction::Uninstall));
    EXPECT_EQ(aces("C:\\Acme\\data.txt"), expected);

    loadSecurity(
        "FileDacl.Del ('C:\\Acme\\data.txt', 'Users')\n"
        "FileDacl.Add ('C:\\Acme\\data.txt', 'Everyone', REVOKE+REPLACEACE, F)\n");
    ASSERT_TRUE(section(Direction::Install));
    expected = fromMode;
    expected.push_back({AceType::Allowed, 0, access::kAllAccess, kEveryone});
    std::erase_if(expected, [](const Ace& ace) {
        return ace.sid == kEveryone && ace.mask != access::kAllAccess;
    });
    EXPECT_EQ(aces("C:\\Acme\\data.txt"), expected);
}

TEST_F(FileDacl, FoldersWildcardsAndTheTreeBelow) {
    loadSecurity(
        "FileDacl.Add ('C:\\Acme\\dir', 'Users', REPLACEACL|RECURSEFILES, CHANGE)\n"
        "FileDacl.Add ('C:\\Acme\\*.TXT', 'Everyone', REPLACEACL, R)\n");
    ASSERT_TRUE(section(Direction::Install));
    const std::uint32_t change =
        access::kGenericRead | access::kGenericWrite | access::kGenericExecute | access::kDelete;
    EXPECT_EQ(aces("C:\\Acme\\dir"),
              (std::vector<Ace>{{AceType::Allowed, kPassedOn, change, kUsers}}));
    EXPECT_EQ(aces("C:\\Acme\\dir\\a.txt"),
              (std::vector<Ace>{{AceType::Allowed, 0, change, kUsers}}));
    EXPECT_EQ(aces("C:\\Acme\\dir\\sub\\b.log"),
              (std::vector<Ace>{{AceType::Allowed, 0, change, kUsers}}));
    EXPECT_FALSE(hasOwnDescriptor("C:\\Acme\\dir\\sub"));  // folders only with RECURSEDIR
    EXPECT_EQ(aces("C:\\Acme\\data.txt"),
              (std::vector<Ace>{{AceType::Allowed, 0, access::kGenericRead, kEveryone}}));
}

TEST_F(FileDacl, PathsOutsideTheRootAndUnknownNamesAreRefused) {
    kestrel::test::writeFile(dir_ / "outside.txt", "o");
    const std::string outside = "Z:" + (dir_ / "outside.txt").string();
    std::string windows = outside;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    fs::create_directory_symlink(dir_.path(), host("C:\\Acme") / "escape");
    loadSecurity("FileDacl.Add ('" + windows +
                 "', 'Users', GRANT, F)\n"
                 "FileDacl.Add ('C:\\Acme\\escape\\outside.txt', 'Users', GRANT, F)\n"
                 "FileDacl.Add ('C:\\Acme\\data.txt', 'Nobody', GRANT, F)\n"
                 "FileDacl.Add ('C:\\Acme\\none.txt', 'Users', GRANT, F)\n"
                 "FileDacl.Add ('C:\\Acme\\data.txt', 'Users', GRANT|SOMETIMES, F)\n");
    ui_.answer({buttons::kIgnore, buttons::kIgnore, buttons::kIgnore, buttons::kIgnore});
    ASSERT_TRUE(section(Direction::Install));
    ASSERT_EQ(ui_.numbers(), (std::vector<int>{5555, 5555, 5555, 5555, 5530}));
    EXPECT_NE(ui_.shown[0].box.text.find("error code: 5\nAccess is denied."), std::string::npos);
    EXPECT_NE(ui_.shown[1].box.text.find("error code: 5\n"), std::string::npos);
    EXPECT_NE(ui_.shown[2].box.text.find("error code: 1332\n"), std::string::npos);
    EXPECT_NE(ui_.shown[3].box.text.find("error code: 2\n"), std::string::npos)
        << ui_.shown[3].box.text;
    EXPECT_EQ(ui_.shown[4].box.text, "Incorrect Flags: SOMETIMES!");
    EXPECT_EQ(::getxattr((dir_ / "outside.txt").c_str(), "user.wine.sd", nullptr, 0), -1);
    EXPECT_FALSE(hasOwnDescriptor("C:\\Acme\\data.txt"));
}

}  // namespace
}  // namespace kestrel::setup::test
