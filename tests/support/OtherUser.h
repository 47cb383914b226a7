// A second local account, for tests of what other users of the machine may see: made with
// useradd when the tests run as root, removed again when the object goes.
//
//     std::string why;
//     auto other = OtherUser::create(&why);
//     if (!other) GTEST_SKIP() << why;
//     EXPECT_FALSE(other->canRead(file));
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace kestrel::test {

class OtherUser {
  public:
    // Null, and the reason in `whyNot`, when there can be none here (not root, useradd
    // missing or refusing).
    static std::unique_ptr<OtherUser> create(std::string* whyNot);
    ~OtherUser();
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

    const std::string& name() const { return name_; }
    uid_t uid() const { return uid_; }

    // Runs `probe` in a child process that is this user (no other groups) and gives its
    // answer; throws std::runtime_error when the child could not become the user.
    bool runAs(const std::function<bool()>& probe) const;
    // Whether this user may read the file, or list or enter the folder.
    bool canRead(const std::filesystem::path& path) const;

  private:
    OtherUser() = default;
    std::string name_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

// Lets everyone pass through `root` (a test's own temporary folder, 0700 when made), so that
// only the modes of what lies inside decide what another user may read.
void letOthersThrough(const std::filesystem::path& root);

}  // namespace kestrel::test
