#include <gtest/gtest.h>
#include <sys/xattr.h>

#include "TestSupport.h"
#include "platform/FileSecurity.h"
#include "platform/WindowsErrors.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;

const Sid kUser{5, {21, 0, 0, 0, 1000}};
const Sid kGroup{5, {21, 0, 0, 0, 513}};
const Sid kUsers{5, {32, 545}};

SecurityDescriptor sample() {
    SecurityDescriptor descriptor;
    descriptor.owner = kUser;
    descriptor.group = kGroup;
    descriptor.dacl =
        std::vector<Ace>{{AceType::Denied, 0, fileaccess::kGenericWrite, everyoneSid()},
                         {AceType::Allowed, 3, fileaccess::kAllAccess, kUsers}};
    return descriptor;
}

TEST(SidTest, TextFormsReadAndWrittenAndNonsenseRefused) {
    const auto sid = Sid::parse("S-1-5-21-0-0-0-1000");
    ASSERT_TRUE(sid);
    EXPECT_EQ(*sid, kUser);
    EXPECT_EQ(sid->toString(), "S-1-5-21-0-0-0-1000");
    EXPECT_EQ(Sid::parse("S-1-1-0")->toString(), "S-1-1-0");
    for (const char* bad : {"", "S-1", "S-1-5", "S-2-5-32", "S-1-5-x", "S-1-5--1",
                            "S-1-5-4294967296", "S-1-5-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1", "Users"})
        EXPECT_FALSE(Sid::parse(bad)) << bad;
}

TEST(WineSecurityFormatTest, LaidOutAsWineKeepsIt) {
    SecurityDescriptor descriptor;
    descriptor.owner = everyoneSid();
    descriptor.dacl = std::vector<Ace>{{AceType::Allowed, 0, 0x001F01FF, everyoneSid()}};
    const std::string bytes = encodeWineSecurity(descriptor);
    // revision, 0, control (DACL present), lengths: owner 12, group 0, SACL 0, DACL 8 + 20
    const std::string expected = std::string("\x01\x00", 2) + std::string("\x04\0\0\0", 4) +
                                 std::string("\x0c\0\0\0", 4) + std::string(8, '\0') +
                                 std::string("\x1c\0\0\0", 4) +
                                 // S-1-1-0
                                 std::string("\x01\x01\0\0\0\0\0\x01\0\0\0\0", 12) +
                                 // ACL: revision 2, size 28, one entry
                                 std::string("\x02\0\x1c\0\x01\0\0\0", 8) +
                                 // allowed, no flags, size 20, mask, S-1-1-0
                                 std::string("\0\0\x14\0\xff\x01\x1f\0", 8) +
                                 std::string("\x01\x01\0\0\0\0\0\x01\0\0\0\0", 12);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(decodeWineSecurity(bytes), descriptor);
    EXPECT_EQ(decodeWineSecurity(encodeWineSecurity(sample())), sample());
}

TEST(WineSecurityFormatTest, DamagedValuesAreRefusedWholly) {
    const std::string good = encodeWineSecurity(sample());
    EXPECT_FALSE(decodeWineSecurity(""));
    EXPECT_FALSE(decodeWineSecurity(good.substr(0, good.size() - 1)));  // lengths do not add up
    EXPECT_FALSE(decodeWineSecurity(good + "x"));
    std::string revision = good;
    revision[0] = 2;
    EXPECT_FALSE(decodeWineSecurity(revision));
    std::string aceSize = good;
    // The first entry's size, past the header, owner and group and the list's own header.
    aceSize[22 + 28 + 28 + 8 + 2] = '\x7f';
    EXPECT_FALSE(decodeWineSecurity(aceSize));
    std::string sidCount = good;
    sidCount[22 + 1] = 16;  // more parts than a SID has
    EXPECT_FALSE(decodeWineSecurity(sidCount));
}

class FileSecurityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = dir_ / "file.txt";
        kestrel::test::writeFile(file_, "x");
        if (::setxattr(file_.c_str(), "user.probe", "1", 1, 0) != 0)
            GTEST_SKIP() << "no user extended attributes here";
        ::removexattr(file_.c_str(), "user.probe");
    }
    kestrel::test::TempDir dir_;
    fs::path file_;
};

TEST_F(FileSecurityTest, WithoutOwnDescriptorTheModeSpeaks) {
    fs::permissions(file_, fs::perms(0644));
    const auto descriptor = readFileSecurity(file_, {kUser, kGroup});
    ASSERT_TRUE(descriptor);
    EXPECT_EQ(descriptor->owner, kUser);
    ASSERT_TRUE(descriptor->dacl);
    const std::vector<Ace> expected = {
        {AceType::Allowed, 0, fileaccess::kAllAccess, localSystemSid()},
        {AceType::Allowed, 0,
         fileaccess::kWriteDac | fileaccess::kWriteOwner | fileaccess::kGenericRead |
             fileaccess::kGenericExecute | fileaccess::kGenericWrite | fileaccess::kDelete |
             fileaccess::kDeleteChild,
         kUser},
        {AceType::Allowed, 0, fileaccess::kGenericRead | fileaccess::kGenericExecute,
         everyoneSid()}};
    EXPECT_EQ(*descriptor->dacl, expected);
    // Folders pass their entries on.
    const auto folder = readFileSecurity(dir_.path(), {kUser, kGroup});
    ASSERT_TRUE(folder && folder->dacl);
    EXPECT_EQ(folder->dacl->front().flags, aceflags::kObjectInherit | aceflags::kContainerInherit);
}

TEST_F(FileSecurityTest, StoredDescriptorIsWhatIsReadBack) {
    ASSERT_EQ(writeFileSecurity(file_, sample(), {kUser, kGroup}), kErrorSuccess);
    EXPECT_EQ(readFileSecurity(file_, {kUser, kGroup}).value(), sample());
    // Users (a group of the prefix's user) may do anything but write, which everyone is denied.
    EXPECT_EQ(fs::status(file_).permissions(), fs::perms(0550));
    fs::permissions(file_, fs::perms(0644));
    // A value Wine could not read counts as none, as for Wine.
    ASSERT_EQ(::setxattr(file_.c_str(), "user.wine.sd", "\x01\x00junk", 6, 0), 0);
    EXPECT_EQ(readFileSecurity(file_, {kUser, kGroup}).value().dacl->size(), 3u);
    EXPECT_EQ(readFileSecurity(dir_ / "missing", {kUser, kGroup}).error(), kErrorFileNotFound);
    EXPECT_EQ(writeFileSecurity(dir_ / "missing", sample(), {kUser, kGroup}), kErrorFileNotFound);
}

TEST(FileModeTest, RightsBecomeModeBitsAsWineGivesThem) {
    const FileOwners owners{kUser, kGroup};
    SecurityDescriptor descriptor;
    EXPECT_EQ(modeOfDescriptor(descriptor, owners), 0777u);  // no list
    descriptor.dacl = std::vector<Ace>{};
    EXPECT_EQ(modeOfDescriptor(descriptor, owners), 0u);
    descriptor.dacl = {{AceType::Allowed, 0, fileaccess::kGenericRead, everyoneSid()},
                       {AceType::Allowed, 0, fileaccess::kAllAccess, kUser}};
    EXPECT_EQ(modeOfDescriptor(descriptor, owners), 0774u);  // the user is in its own token
    // What is denied first stays denied; entries only passed on count for nothing here.
    descriptor.dacl = {{AceType::Denied, 0, fileaccess::kGenericExecute, kUser},
                       {AceType::Allowed, aceflags::kInheritOnly, fileaccess::kAllAccess, kUser},
                       {AceType::Allowed, 0, fileaccess::kAllAccess, Sid{5, {32, 547}}},
                       {AceType::Allowed, 0, fileaccess::kAllAccess, kUser}};
    EXPECT_EQ(modeOfDescriptor(descriptor, owners), 0660u);
}

}  // namespace
}  // namespace kestrel::platform
