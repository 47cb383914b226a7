// The compiled store behind the directory file: built once, shared, rebuilt when the file
// changes or the store is damaged, and replaced by memory when the cache cannot be used.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "ClientFixture.h"
#include "DirectoryCache.h"
#include "ExpectedMatchers.h"
#include "IsolatedUser.h"
#include "LmdbStore.h"

using namespace nw;
using kestrel::test::FailsWith;
namespace fs = std::filesystem;

namespace {

std::string directoryText(const std::string& workstation) {
    return R"({"trees": [{"name": "T", "objects": [
        {"name": "O=A", "class": "Organization"},
        {"name": "CN=)" +
           workstation + R"(.O=A", "class": "Workstation",
         "attributes": {"WM:NAME Computer": [")" +
           workstation + R"("]}}]}]})";
}

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

class DirectoryStore : public ::testing::Test {
  protected:
    std::shared_ptr<const Directory> open() {
        auto opened = openDirectory(file_);
        EXPECT_TRUE(opened) << (opened ? "" : opened.error().describe());
        if (!opened) return nullptr;
        EXPECT_EQ(opened->notice, "");
        return opened->directory;
    }
    // True when the directory holds the workstation CN=<name>.O=A.
    static bool holds(const Directory& directory, const std::string& name) {
        auto key = resolveName("CN=" + name + ".O=A", AbsoluteName{}, false);
        return directory.trees().size() == 1 && directory.trees()[0].find(*key).has_value();
    }
    ino_t storeInode() const {
        struct stat status {};
        return ::stat(store_.c_str(), &status) == 0 ? status.st_ino : 0;
    }

    kestrel::test::IsolatedUser user_;
    fs::path file_ = user_.root() / "dir.json";
    fs::path store_ = storeFileFor(file_);
};

TEST_F(DirectoryStore, IsBuiltInTheCacheOnceAndReused) {
    writeFile(file_, directoryText("WS1"));
    auto first = open();
    ASSERT_TRUE(first);
    EXPECT_TRUE(holds(*first, "WS1"));
    EXPECT_EQ(store_.parent_path(), user_.cacheHome() / "kestrel");
    auto header = openStore(store_);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->header.builder, static_cast<std::uint32_t>(::getpid()));
    EXPECT_EQ(header->header.source.size, fs::file_size(file_));
    ino_t built = storeInode();

    auto again = open();
    ASSERT_TRUE(again);
    EXPECT_TRUE(holds(*again, "WS1"));
    EXPECT_EQ(storeInode(), built) << "the store was built again";
    EXPECT_FALSE(fs::exists(fs::path(store_.string() + ".new")));
}

TEST_F(DirectoryStore, IsRebuiltWhenTheFileChanges) {
    writeFile(file_, directoryText("WS1"));
    auto before = open();
    ino_t built = storeInode();
    writeFile(file_, directoryText("WS2"));  // same size, new content
    auto after = open();
    ASSERT_TRUE(after);
    EXPECT_TRUE(holds(*after, "WS2"));
    EXPECT_FALSE(holds(*after, "WS1"));
    EXPECT_NE(storeInode(), built);
    // A reader of the old store keeps reading it: the new one was renamed over it.
    ASSERT_TRUE(before);
    EXPECT_TRUE(holds(*before, "WS1"));
}

TEST_F(DirectoryStore, ADamagedOrForeignStoreIsRebuiltNotTrusted) {
    fs::path other = user_.root() / "other.json";
    writeFile(other, directoryText("WS9"));
    ASSERT_TRUE(openDirectory(other));
    writeFile(file_, directoryText("WS1"));
    ASSERT_TRUE(open());
    std::string good;
    {
        std::ifstream in(store_, std::ios::binary);
        good.assign(std::istreambuf_iterator<char>(in), {});
    }
    struct Damage {
        const char* what;
        std::function<void()> apply;
    };
    const Damage damages[] = {
        {"garbage", [&] { writeFile(store_, std::string(70000, 'x')); }},
        {"empty", [&] { writeFile(store_, ""); }},
        {"truncated", [&] { writeFile(store_, good.substr(0, good.size() / 2)); }},
        {"first page only", [&] { writeFile(store_, good.substr(0, 4096)); }},
        {"another file's store",
         [&] { fs::copy_file(storeFileFor(other), store_, fs::copy_options::overwrite_existing); }},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.what);
        damage.apply();
        auto directory = open();
        ASSERT_TRUE(directory);
        EXPECT_TRUE(holds(*directory, "WS1"));
        EXPECT_FALSE(holds(*directory, "WS9"));
        auto header = openStore(store_);
        ASSERT_TRUE(header);
        EXPECT_EQ(header->header.source.path, file_.string());
    }
}

TEST_F(DirectoryStore, ABuildThatDiedLeavesNothingThatIsUsed) {
    writeFile(file_, directoryText("WS1"));
    fs::create_directories(store_.parent_path());
    writeFile(fs::path(store_.string() + ".new"), "half a store");
    auto directory = open();
    ASSERT_TRUE(directory);
    EXPECT_TRUE(holds(*directory, "WS1"));
    EXPECT_FALSE(fs::exists(fs::path(store_.string() + ".new")));
}

TEST_F(DirectoryStore, ABrokenFileKeepsTheLastStoreAndLeavesNoPartOfANewOne) {
    writeFile(file_, directoryText("WS1"));
    ASSERT_TRUE(open());
    ino_t built = storeInode();
    writeFile(
        file_,
        R"({"trees": [{"name": "T", "objects": [{"name": "CN=X.O=Gone", "class": "User"}]}]})");
    EXPECT_THAT(
        openDirectory(file_),
        FailsWith(file_.string() +
                  ": /trees/0/objects/0 (CN=X.O=Gone): its container is not listed before it"));
    EXPECT_EQ(storeInode(), built);
    EXPECT_FALSE(fs::exists(fs::path(store_.string() + ".new")));
}

TEST_F(DirectoryStore, ProcessesStartingTogetherBuildItOnce) {
    writeFile(file_, directoryText("WS1"));
    constexpr int kProcesses = 4;
    constexpr int kBuilt = 10, kUsed = 11, kFailed = 12;
    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto opened = openDirectory(file_);
            auto header = openStore(store_);
            bool ok =
                opened && opened->notice.empty() && holds(*opened->directory, "WS1") && header;
            ::_exit(!ok                                                                ? kFailed
                    : header->header.builder == static_cast<std::uint32_t>(::getpid()) ? kBuilt
                                                                                       : kUsed);
        }
        children.push_back(child);
    }
    int built = 0, used = 0;
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        built += WEXITSTATUS(status) == kBuilt;
        used += WEXITSTATUS(status) == kUsed;
    }
    EXPECT_EQ(built, 1);
    EXPECT_EQ(used, kProcesses - 1);
}

TEST_F(DirectoryStore, WithoutAUsableCacheTheFileIsReadIntoMemory) {
    writeFile(file_, directoryText("WS1"));
    fs::path blocker = user_.root() / "blocker";
    writeFile(blocker, "a file where the cache folder would go");
    user_.environment().set("XDG_CACHE_HOME", (blocker / "cache").string());
    auto opened = openDirectory(file_);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(holds(*opened->directory, "WS1"));
    EXPECT_EQ(opened->notice, "cannot keep the compiled directory in " +
                                  (blocker / "cache" / "kestrel").string() +
                                  " (Not a directory); reading " + file_.string() + " into memory");
}

}  // namespace

namespace {

class ClientOnStore : public nwtest::ClientFixture {};

TEST_F(ClientOnStore, ReadingIntoMemoryIsSaidOnceAndWorks) {
    fs::path blocker = root() / "blocker";
    writeFile(blocker, "a file where the cache folder would go");
    kestrel::test::ScopedEnv cache("XDG_CACHE_HOME", (blocker / "cache").string());
    testing::internal::CaptureStderr();
    useDirectory(nwtest::sampleDirectory());
    reinitialize();
    std::string said = testing::internal::GetCapturedStderr();
    const std::string notice = "nwclient: cannot keep the compiled directory in ";
    ASSERT_NE(said.find(notice), std::string::npos) << said;
    EXPECT_EQ(said.find(notice, said.find(notice) + 1), std::string::npos) << said;
    EXPECT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
}

}  // namespace
