// Passwords of LDAP logins in the user's kernel keyring: shared between processes, kept
// apart between client setups, ended for everyone by a logout.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "LoginKeyring.h"
#include "TestSupport.h"

using namespace nw;

namespace {

class LoginKeyringTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!keyring_.store("PROBE", "x")) GTEST_SKIP() << "no kernel key service here";
        keyring_.revoke("PROBE");
    }
    void TearDown() override {
        keyring_.revoke("ACME_TREE");
        other_.revoke("ACME_TREE");
    }

    // Setups are told apart by their session files: a fresh folder each run.
    kestrel::test::TempDir scope_;
    LoginKeyring keyring_{(scope_ / "session").string(), 60};
    LoginKeyring other_{(scope_ / "other-session").string(), 60};
};

TEST_F(LoginKeyringTest, AnotherProcessOfTheUserReadsTheLoginUntilItIsRevoked) {
    ASSERT_TRUE(keyring_.store("ACME_TREE", "s3cret"));
    pid_t child = fork();
    if (child == 0) {
        LoginKeyring same{(scope_ / "session").string(), 60};
        auto secret = same.fetch("acme_tree");  // tree names compare without case
        _exit(secret && secret->text() == "s3cret" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);

    EXPECT_FALSE(other_.holds("ACME_TREE"));
    keyring_.revoke("ACME_TREE");
    EXPECT_FALSE(keyring_.holds("ACME_TREE"));
    EXPECT_FALSE(keyring_.fetch("ACME_TREE"));
}

TEST_F(LoginKeyringTest, ANewLoginReplacesTheOldPassword) {
    ASSERT_TRUE(keyring_.store("ACME_TREE", "first"));
    ASSERT_TRUE(keyring_.store("ACME_TREE", "second"));
    auto secret = keyring_.fetch("ACME_TREE");
    ASSERT_TRUE(secret);
    EXPECT_EQ(secret->text(), "second");
    Secret moved = std::move(*secret);
    EXPECT_EQ(moved.text(), "second");
    EXPECT_TRUE(secret->text().empty());
}

}  // namespace
