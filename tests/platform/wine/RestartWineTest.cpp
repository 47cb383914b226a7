#include <gtest/gtest.h>

#include <map>

#include "TestSupport.h"
#include "WineTest.h"
#include "platform/FileAttributes.h"
#include "platform/MachineRoot.h"
#include "platform/RestartOperations.h"
#include "platform/WineTools.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class RestartWineTest : public test::WineTest {
  protected:
    std::unique_ptr<MachineRoot> open(const fs::path& prefix) {
        stopServerAtEnd(prefix);
        auto root = MachineRoot::open(prefix, {"alice", {}, NewRoot::WineWhereInstalled});
        EXPECT_TRUE(root.has_value()) << (root ? "" : root.error());
        return root ? std::move(root.value()) : nullptr;
    }
    // Every entry below the folder with its content ("<dir>" for folders).
    static std::map<std::string, std::string> listing(const fs::path& folder) {
        std::map<std::string, std::string> entries;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            entries[fs::relative(entry.path(), folder).string()] =
                entry.is_directory() ? "<dir>" : test::readFile(entry.path());
        }
        return entries;
    }
    static bool pendingLeft(const fs::path& prefix) {
        auto registry = Registry::open(prefix);
        RegistryValue value;
        return registry && (*registry)->queryValue(RegistryRoot::LocalMachine, kSessionManagerKey,
                                                   kPendingRenamesValue, &value) == 0;
    }

    test::TempDir dir_;
};

// What Wine does when the prefix restarts and what our boot step does to a copy of it agree.
TEST_F(RestartWineTest, OurBootStepDoesWhatWinebootDoes) {
    const fs::path prefix = dir_ / "wine";
    auto root = open(prefix);
    ASSERT_TRUE(root);
    const fs::path work = prefix / "drive_c/restart";
    fs::create_directories(work / "empty");
    fs::create_directories(work / "full");
    for (const char* name : {"lib.dll", "lib.000", "delete.txt", "readonly.txt", "full/keep.txt",
                             "w1.txt", "w2.txt", "w3.txt", "wdelete.txt"}) {
        test::writeFile(work / name, name);
    }
    ASSERT_TRUE(setFileAttributes(work / "readonly.txt", dosattr::kReadOnly).has_value());
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::optional<std::string>>>{
             {"C:\\restart\\lib.000", "C:\\restart\\lib.dll"},
             {"C:\\restart\\delete.txt", std::nullopt},
             {"C:\\restart\\readonly.txt", std::nullopt},
             {"C:\\restart\\empty", std::nullopt},
             {"C:\\restart\\full", std::nullopt},
             {"C:\\restart\\missing.txt", "C:\\restart\\made.txt"}}) {
        ASSERT_TRUE(scheduleAtRestart(*root, from, to).has_value()) << from;
    }
    test::writeFile(prefix / "drive_c/windows/wininit.ini",
                    "[rename]\r\nC:\\RESTART\\W.TXT=C:\\RESTART\\W1.TXT\r\n"
                    "C:\\RESTART\\W.TXT=C:\\RESTART\\W2.TXT\r\nNUL=C:\\RESTART\\WDELETE.TXT\r\n"
                    "; C:\\RESTART\\W3.TXT=C:\\RESTART\\W4.TXT\r\n");
    ASSERT_EQ(root->waitForWineServer(30s), WineServerWait::Ended);
    ASSERT_TRUE(root->registry().save().has_value());
    root.reset();
    const fs::path copy = dir_ / "ours";
    fs::copy(prefix, copy, fs::copy_options::recursive | fs::copy_options::copy_symlinks);

    const auto booted = runWineTool({"wineboot", "--restart"}, prefix, 120s);
    ASSERT_TRUE(booted.finished() && booted.exitCode == 0);
    stopServer(prefix);

    auto ours = open(copy);
    ASSERT_TRUE(ours);
    performRestartOperations(*ours);
    ASSERT_TRUE(ours->registry().save().has_value());

    EXPECT_EQ(listing(copy / "drive_c/restart"), listing(work));
    EXPECT_EQ(test::readFile(work / "lib.dll"), "lib.000");  // it did something at all
    EXPECT_FALSE(pendingLeft(prefix));
    EXPECT_FALSE(pendingLeft(copy));
    for (const char* name : {"wininit.ini", "wininit.bak"}) {
        EXPECT_EQ(fs::exists(copy / "drive_c/windows" / name),
                  fs::exists(prefix / "drive_c/windows" / name))
            << name;
    }
}

}  // namespace
}  // namespace kestrel::platform
