// KESTRELSCOPE.INI and the folder made for it are the user's alone, whatever the umask.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "OtherUser.h"
#include "TestSupport.h"
#include "window/SettingsFile.h"

namespace kestrel::browser {
namespace {

namespace fs = std::filesystem;

TEST(SettingsFile, IsMadeForTheUserAlone) {
    kestrel::test::TempDir root;
    const SettingsFile settings(root / "kestrel" / "KESTRELSCOPE.INI");
    const mode_t saved = ::umask(0);
    const bool written = settings.write({{kStartTreeKey, "ACME_TREE"}});
    ::umask(saved);
    ASSERT_TRUE(written);
    EXPECT_EQ(settings.read(kStartTreeKey), "ACME_TREE");
    EXPECT_EQ(fs::status(settings.path()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(settings.path().parent_path()).permissions(), fs::perms::owner_all);

    std::string why;
    auto other = kestrel::test::OtherUser::create(&why);
    if (!other) GTEST_SKIP() << "modes checked; no second user reads them: " << why;
    kestrel::test::letOthersThrough(root.path());
    EXPECT_FALSE(other->canRead(settings.path()));
}

}  // namespace
}  // namespace kestrel::browser
