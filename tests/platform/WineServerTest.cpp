#include "platform/WineServer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "FakeWineServer.h"
#include "TestSupport.h"
#include "platform/WineTools.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using FakeServer = test::FakeWineServer;

class WineServerTest : public ::testing::Test {
  protected:
    WineServerTest() { fs::create_directory(prefix_); }
    // server-<dev>-<inode> of the prefix, as the upstream socket path names it.
    std::string serverFolder() const {
        return wineServerSocket(prefix_, servers_.path()).parent_path().filename().string();
    }

    test::TempDir servers_;  // stands for /tmp
    test::TempDir root_;
    const fs::path prefix_ = root_ / "prefix";
};

TEST_F(WineServerTest, FindsTheServerInEitherLayout) {
    const fs::path upstream = wineServerSocket(prefix_, servers_.path());
    EXPECT_EQ(upstream.parent_path().parent_path().filename(),
              ".wine-" + std::to_string(::getuid()));
    EXPECT_FALSE(wineServerRunning(prefix_, servers_.path()));
    {
        FakeServer server(upstream);
        EXPECT_TRUE(wineServerRunning(prefix_, servers_.path()));
    }

    // Debian: a folder of its own, named in the prefix.
    test::writeFile(prefix_ / "wineserver", "wine-Ab12Cd");
    {
        FakeServer server(servers_ / "wine-Ab12Cd" / serverFolder() / "socket");
        EXPECT_TRUE(wineServerRunning(prefix_, servers_.path()));
    }
    // ... also when the record is missing.
    fs::remove(prefix_ / "wineserver");
    {
        FakeServer server(servers_ / "wine-Zz99Yy" / serverFolder() / "socket");
        EXPECT_TRUE(wineServerRunning(prefix_, servers_.path()));
        // A server of another prefix is not ours.
        const fs::path other = root_ / "other";
        fs::create_directory(other);
        EXPECT_FALSE(wineServerRunning(other, servers_.path()));
    }
    // A server that takes no more connections but still holds its lock is about to write
    // the registry: it still runs.
    {
        const fs::path lock = servers_ / "wine-Zz99Yy" / serverFolder() / "lock";
        test::writeFile(lock, "");
        const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
        struct flock whole {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &whole), 0);  // seen by F_GETLK in this process too
        EXPECT_TRUE(wineServerRunning(prefix_, servers_.path()));
        ::close(fd);
    }
    // What dead servers leave behind (sockets nobody listens on, lock files) does not count.
    EXPECT_FALSE(wineServerRunning(prefix_, servers_.path()));
    EXPECT_FALSE(wineServerRunning(root_ / "missing", servers_.path()));
}

TEST_F(WineServerTest, WaitsForTheServerToEnd) {
    test::writeFile(prefix_ / "wineserver", "wine-Ab12Cd");
    FakeServer server(servers_ / "wine-Ab12Cd" / serverFolder() / "socket");
    EXPECT_EQ(waitForWineServer(prefix_, servers_.path(), 100ms), WineServerWait::TimedOut);
    int asked = 0;
    EXPECT_EQ(waitForWineServer(prefix_, servers_.path(), 60s, [&] { return ++asked == 3; }),
              WineServerWait::Cancelled);
    EXPECT_EQ(asked, 3);
    server.stop();
    EXPECT_EQ(waitForWineServer(prefix_, servers_.path(), 0ms), WineServerWait::Ended);
}

// What a Wine program said on standard error before it ended, as a failure's message gives
// it: the last two lines that hold something, never a line cut off at the front.
TEST(LastErrorWords, AreTheLastLinesWineWrote) {
    const auto said = [](const std::string& text) {
        const int fd = ::open(::testing::TempDir().c_str(), O_TMPFILE | O_RDWR, 0600);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        std::string words = lastErrorWords(fd);
        ::close(fd);
        return words;
    };
    EXPECT_EQ(lastErrorWords(-1), "");
    EXPECT_EQ(said(""), "");
    EXPECT_EQ(said("wine: Bad EXE format for C:\\x.exe.\n"), "wine: Bad EXE format for C:\\x.exe.");
    EXPECT_EQ(said("first\r\n\nApplication could not be started.\r\n\nShellExecuteEx failed: File "
                   "not found.\r\n\n"),
              "Application could not be started.; ShellExecuteEx failed: File not found.");
    const std::string chatter(5000, 'x');
    EXPECT_EQ(said(chatter + "\nlast words"), "last words");
}

}  // namespace
}  // namespace kestrel::platform
