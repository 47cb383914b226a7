// What the client keeps for a user (the compiled store with the directory's password hashes,
// its lock and folder, the session with its lock and folder, the keyring's logins) is that
// user's alone: whatever the umask, and also where files made before allowed more.
#include <gtest/gtest.h>
#include <linux/keyctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "ClientFixture.h"
#include "DirectoryCache.h"
#include "LoginKeyring.h"
#include "OtherUser.h"

using namespace nwtest;
namespace fs = std::filesystem;

namespace {

class ScopedUmask {
  public:
    explicit ScopedUmask(mode_t mask) : saved_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(saved_); }

  private:
    mode_t saved_;
};

mode_t modeOf(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 07777;
}

class PrivateFiles : public ClientFixture {
  protected:
    fs::path store() const { return nw::storeFileFor(root() / "directory.json"); }
    // Each with the mode it must have.
    std::vector<std::pair<fs::path, mode_t>> clientFiles() const {
        return {{store().parent_path(), 0700},
                {store(), 0600},
                {fs::path(store().string() + ".lock"), 0600},
                {sessionFile().parent_path(), 0700},
                {sessionFile(), 0600},
                {fs::path(sessionFile().string() + ".lock"), 0600}};
    }
    void expectPrivate() {
        for (const auto& [path, mode] : clientFiles())
            EXPECT_EQ(modeOf(path), mode) << path << " is " << std::oct << modeOf(path);
    }
};

TEST_F(PrivateFiles, TheClientsFilesAreTheOwnersAloneWhateverTheUmask) {
    {
        ScopedUmask everyone(0);
        useDirectory(sampleDirectory());
        ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    }
    expectPrivate();

    std::string why;
    auto other = kestrel::test::OtherUser::create(&why);
    if (!other) GTEST_SKIP() << "modes checked; no second user reads them: " << why;
    kestrel::test::letOthersThrough(root());
    // The way there is open: the directory file itself (as the test wrote it) is readable.
    ASSERT_TRUE(other->canRead(root() / "directory.json"));
    for (const auto& [path, mode] : clientFiles()) EXPECT_FALSE(other->canRead(path)) << path;
}

TEST_F(PrivateFiles, FilesMadeBeforeArePrivateOnceTheClientUsesThem) {
    useDirectory(sampleDirectory());
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    for (const auto& [path, mode] : clientFiles())
        fs::permissions(path, fs::perms(mode | 0055), fs::perm_options::replace);
    reinitialize();  // opens the store and reads the session again
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);  // writes the session
    expectPrivate();
}

TEST_F(PrivateFiles, ACacheFolderOfAnotherUserIsNotUsed) {
    std::string why;
    auto other = kestrel::test::OtherUser::create(&why);
    if (!other) GTEST_SKIP() << why;
    fs::path folder = store().parent_path();
    fs::create_directories(folder);
    ASSERT_EQ(::chown(folder.c_str(), other->uid(), static_cast<gid_t>(-1)), 0);
    testing::internal::CaptureStderr();
    useDirectory(sampleDirectory());
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("(the folder belongs to another user); reading"), std::string::npos)
        << said;
    EXPECT_FALSE(fs::exists(store()));
    EXPECT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    fs::remove_all(folder);
}

TEST(PrivateKeys, AnotherUserCannotReadALogin) {
    kestrel::test::TempDir scope;
    nw::LoginKeyring keyring((scope / "session").string(), 60);
    if (!keyring.store("ACME_TREE", "s3cret")) GTEST_SKIP() << "no kernel key service here";
    std::string why;
    auto other = kestrel::test::OtherUser::create(&why);
    if (!other) {
        keyring.revoke("ACME_TREE");
        GTEST_SKIP() << why;
    }
    const std::string description = "kestrel-login:ACME_TREE:" + (scope / "session").string();
    long key =
        syscall(SYS_keyctl, KEYCTL_SEARCH, KEY_SPEC_USER_KEYRING, "user", description.c_str(), 0UL);
    ASSERT_GE(key, 0);
    EXPECT_FALSE(other->runAs([key] {
        char buffer[64];
        return syscall(SYS_keyctl, KEYCTL_READ, key, buffer, sizeof buffer, 0UL) >= 0;
    }));
    keyring.revoke("ACME_TREE");
}

}  // namespace
