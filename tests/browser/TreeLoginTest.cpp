#include "DirectoryFixture.h"

namespace kestrel::browser::test {
namespace {

using Texts = std::vector<std::string>;
using TreeLogin = DirectoryTest;

TEST_F(TreeLogin, ScansEveryTreeOnce) {
    auto layer = access();  // tree names need no login
    Texts trees;
    layer->ScanTrees(trees);
    EXPECT_EQ(trees, (Texts{kAcme, kGlobex}));

    trees = {kGlobex};
    layer->ScanTrees(trees);
    EXPECT_EQ(trees, (Texts{kGlobex, kAcme}));
}

TEST_F(TreeLogin, LoginLowerCasesTheNameAndStartsTypedNamesAtTheRoot) {
    auto layer = access();
    EXPECT_EQ(layer->IsAuthenticated(), 0);

    // A typed name is sent as .cn=admin.o=acme; the directory ignores case.
    ASSERT_EQ(layer->Login(kAcme, "CN=Admin.O=Acme", kPassword), 0);
    EXPECT_NE(layer->IsAuthenticated(), 0);
    std::string user;
    EXPECT_NE(layer->IsTreeAuthenticated(kAcme, user), 0);
    EXPECT_EQ(user, kAdmin);

    // Typed and taken from the root, CN=Admin alone names no object.
    EXPECT_EQ(layer->Login(kAcme, "CN=Admin", kPassword), 1);
    // Without a type, the name is relative to the configured name context (O=Acme).
    EXPECT_EQ(layer->Login(kAcme, "ADMIN", kPassword), 0);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(TreeLogin, FailedLoginsLeaveTheTreeLoggedOut) {
    auto layer = access();
    EXPECT_EQ(layer->Login(kAcme, kAdmin, "wrong"), 1);
    EXPECT_EQ(layer->Login("NO_SUCH_TREE", kAdmin, kPassword), 1);
    EXPECT_EQ(layer->IsAuthenticated(), 0);
    std::string user = "previous";
    EXPECT_EQ(layer->IsTreeAuthenticated(kAcme, user), 0);
    EXPECT_EQ(user, "");
}

TEST_F(TreeLogin, AuthenticationIsPerTree) {
    auto layer = access();
    ASSERT_EQ(layer->Login(kGlobex, "cn=boss.o=globex", kPassword), 0);
    std::string user;
    EXPECT_EQ(layer->IsTreeAuthenticated(kAcme, user), 0);
    EXPECT_EQ(user, "");
    EXPECT_NE(layer->IsTreeAuthenticated(kGlobex, user), 0);
    EXPECT_EQ(user, "CN=Boss.O=Globex");
    // The login belongs to the workstation: a new instance sees it.
    EXPECT_NE(access()->IsAuthenticated(), 0);
}

TEST_F(TreeLogin, LogoutEndsTheLogin) {
    auto layer = loggedIn();
    EXPECT_EQ(layer->Logout(kAcme), 0);
    std::string user;
    EXPECT_EQ(layer->IsTreeAuthenticated(kAcme, user), 0);
    EXPECT_EQ(layer->IsAuthenticated(), 0);
    EXPECT_NE(layer->Logout("NO_SUCH_TREE"), 0);
    EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace kestrel::browser::test
