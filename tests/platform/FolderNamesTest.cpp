#include "platform/FolderNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "TestSupport.h"
#include "platform/AsciiCase.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;

// What a listing of the folder made now says, independently of the index: every name, in
// byte order.
std::vector<std::string> listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

// The entries a listing finds for `name` without regard to ASCII case, in byte order.
std::vector<std::string> scanFor(const fs::path& folder, std::string_view name) {
    std::vector<std::string> found;
    for (const std::string& entry : listing(folder))
        if (equalsIgnoreAsciiCase(entry, name)) found.push_back(entry);
    return found;
}

void touch(const fs::path& file) {
    std::ofstream{file};
}

class FolderNamesTest : public ::testing::Test {
  protected:
    // The index's answers for `folder` are those of a fresh listing: every name, and for
    // each query the same entries in the same order.
    void expectCurrent(const fs::path& folder, const std::vector<std::string>& queries = {}) {
        const CaseFoldedNames* names = index_.names(folder);
        ASSERT_NE(names, nullptr) << folder;
        EXPECT_EQ(names->all(), listing(folder)) << folder;
        EXPECT_EQ(names->empty(), listing(folder).empty());
        for (const std::string& query : queries) {
            const std::vector<std::string> expected = scanFor(folder, query);
            EXPECT_EQ(names->matching(query), expected) << query;
            const std::string* found = names->find(query);
            if (expected.empty()) {
                EXPECT_EQ(found, nullptr) << query;
            } else {
                ASSERT_NE(found, nullptr) << query;
                EXPECT_EQ(*found, expected.front()) << query;
            }
        }
    }

    test::TempDir dir_;
    FolderNames index_;
};

// Linux keeps names apart that Windows takes for one; every lookup picks the same of them.
// Only ASCII letters fold, so UTF-8 names meet only their own spelling in other bytes.
TEST_F(FolderNamesTest, NamesAreFoundWithoutRegardToAsciiCase) {
    for (const char* name : {"ReadMe.TXT", "readme.txt", "README.txt", "Gr\u00f6\u00dfe",
                             "\u00e9t\u00e9 2024.doc", "\u00c9T\u00c9 2024.DOC", "Sub"})
        touch(dir_ / name);
    fs::create_directory(dir_ / "Folder");
    expectCurrent(dir_.path(), {"readme.TXT", "GR\u00f6\u00dfE", "GR\u00d6\u00dfE",
                                "\u00e9t\u00e9 2024.DOC", "folder", "sub", "missing", ""});
    EXPECT_EQ(*index_.names(dir_.path())->find("README.TXT"), "README.txt");
}

// Whatever changes the folder (here the test, behind the index's back), the next lookup
// sees it: creations, removals, renames within and across folders, names made again in
// another case.
TEST_F(FolderNamesTest, ChangesMadeBehindTheIndexAreSeen) {
    const fs::path a = dir_ / "a", b = dir_ / "b";
    fs::create_directories(a);
    fs::create_directories(b);
    touch(a / "Setup.INF");
    const std::vector<std::string> queries = {"setup.inf", "NEW.DLL", "x\u00e4.txt", "sub"};
    expectCurrent(a, queries);
    expectCurrent(b, queries);

    touch(a / "new.dll");
    touch(a / "X\u00e4.TXT");
    fs::create_directory(a / "SUB");
    expectCurrent(a, queries);

    fs::remove(a / "Setup.INF");
    touch(a / "SETUP.inf");
    fs::rename(a / "new.dll", b / "New.Dll");
    fs::rename(a / "SUB", a / "sub");
    expectCurrent(a, queries);
    expectCurrent(b, queries);

    fs::create_hard_link(b / "New.Dll", a / "NEW.DLL");
    fs::rename(a / "X\u00e4.TXT", a / "SETUP.inf");  // over an existing entry
    expectCurrent(a, queries);
    fs::remove_all(a / "sub");
    fs::remove(b / "New.Dll");
    expectCurrent(a, queries);
    expectCurrent(b, queries);
}

// A path that now leads to another folder (the old one moved away, a link turned elsewhere,
// a folder removed and made again) is answered from that folder, never from the old names.
TEST_F(FolderNamesTest, APathThatLeadsElsewhereIsListedAgain) {
    const fs::path folder = dir_ / "folder", link = dir_ / "link";
    fs::create_directories(folder);
    touch(folder / "old.txt");
    expectCurrent(folder, {"OLD.TXT"});
    fs::rename(folder, dir_ / "moved");
    fs::create_directory(folder);
    touch(folder / "new.txt");
    expectCurrent(folder, {"OLD.TXT", "NEW.TXT"});
    touch(dir_ / "moved" / "later.txt");
    expectCurrent(dir_ / "moved", {"OLD.TXT", "LATER.TXT"});

    fs::create_directory_symlink("moved", link);
    expectCurrent(link, {"old.txt"});
    fs::remove(link);
    fs::create_directory_symlink("folder", link);
    expectCurrent(link, {"old.txt", "new.txt"});

    fs::remove_all(folder);
    EXPECT_EQ(index_.names(folder), nullptr);
    fs::create_directory(folder);
    touch(folder / "again.txt");
    expectCurrent(folder, {"AGAIN.TXT", "NEW.TXT"});
    EXPECT_EQ(index_.names(folder / "again.txt"), nullptr);  // a file is no folder
}

// More changes at once than the kernel keeps for a reader: the index starts afresh.
TEST_F(FolderNamesTest, ChangesBeyondWhatTheKernelQueuesAreNotLost) {
    std::ifstream limit("/proc/sys/fs/inotify/max_queued_events");
    std::size_t queued = 0;
    if (!(limit >> queued) || queued > 100000)
        GTEST_SKIP() << "the kernel's queue of changes is too long to fill here";
    const fs::path folder = dir_ / "many";
    fs::create_directory(folder);
    expectCurrent(folder);
    for (std::size_t i = 0; i <= queued; ++i) touch(folder / ("F" + std::to_string(i)));
    expectCurrent(folder, {"f0", "f" + std::to_string(queued)});
    fs::remove(folder / "F0");
    expectCurrent(folder, {"f0"});
}

// Past the most folders it watches, the one looked in longest ago gives way; it is listed
// again when looked in next, changes made meanwhile included.
TEST_F(FolderNamesTest, FoldersBeyondTheWatchedOnesStayCurrent) {
    const std::size_t count = FolderNames::kMostWatched + 8;
    for (std::size_t i = 0; i < count; ++i) {
        fs::create_directory(dir_ / std::to_string(i));
        ASSERT_NE(index_.names(dir_ / std::to_string(i)), nullptr);
    }
    for (std::size_t i : {std::size_t{0}, std::size_t{7}, count - 1}) {
        touch(dir_ / std::to_string(i) / "Late.txt");
        expectCurrent(dir_ / std::to_string(i), {"late.TXT"});
    }
}

}  // namespace
}  // namespace kestrel::platform
