#include <gmock/gmock.h>

#include "ActionFixture.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FileCommandsTest : public ActionFixture {};

TEST_F(FileCommandsTest, CopyAndItsCounterpart) {
    source("a.txt", "alpha");
    ASSERT_TRUE(run("Copy", {"a.txt", "C:\\Acme\\sub\\b.txt"}));
    EXPECT_EQ(kestrel::test::readFile(host("C:\\Acme\\sub\\b.txt")), "alpha");
    EXPECT_EQ(sources_.requests.back().name, "a.txt");
    EXPECT_FALSE(sources_.requests.back().cabinetAllowed);

    ASSERT_TRUE(undo("Copy", {"a.txt", "C:\\Acme\\sub\\b.txt"}));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\sub")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme")));
    EXPECT_TRUE(fs::exists(host("C:\\setup\\a.txt")));
    EXPECT_THAT(ui_.numbers(), IsEmpty());
    EXPECT_TRUE(spec("copy").hasCounterpart);
}

TEST_F(FileCommandsTest, CopyPatternsAndTargets) {
    source("docs\\one.txt", "1");
    source("docs\\two.txt", "2");
    source("docs\\notes.doc", "3");
    fs::create_directories(host("C:\\Acme\\docs"));

    // An existing directory takes each file under its own name.
    ASSERT_TRUE(run("Copy", {"docs\\*.txt", "C:\\Acme\\docs"}));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\docs\\one.txt")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\docs\\two.txt")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\docs\\notes.doc")));

    // "dir\." is every file of it; without a target, the current directory receives them.
    state_.currentDirectory = "C:\\Acme\\all";
    fs::create_directories(host("C:\\Acme\\all"));
    ASSERT_TRUE(run("Copy", {"C:\\setup\\docs\\."}));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\all\\notes.doc")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\all\\one.txt")));

    // A missing single source is the copy engine's failure: the section stops.
    EXPECT_FALSE(run("Copy", {"C:\\setup\\missing.txt", "C:\\Acme\\m.txt"}));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\m.txt")));
}

TEST_F(FileCommandsTest, CopyUndoWhenTheSourceIsGone) {
    source("a.txt", "alpha");
    ASSERT_TRUE(run("Copy", {"a.txt", "C:\\Acme\\b.txt"}));
    fs::remove(host("C:\\setup\\a.txt"));
    ASSERT_TRUE(undo("Copy", {"a.txt", "C:\\Acme\\b.txt"}));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\b.txt")));
}

TEST_F(FileCommandsTest, MakeDirectoryAndItsCounterpart) {
    fs::create_directories(host("C:\\Acme\\keep"));
    ASSERT_TRUE(run("MkDir", {"C:\\Acme\\a\\b"}));
    EXPECT_TRUE(fs::is_directory(host("C:\\Acme\\a\\b")));
    ASSERT_TRUE(undo("MD", {"C:\\Acme\\a\\b"}));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\a")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\keep")));  // a parent with something in it stays

    // A file where the directory should be.
    put("C:\\Acme\\file", "x");
    EXPECT_FALSE(run("MD", {"C:\\Acme\\file"}));
    EXPECT_THAT(messageTexts(), ElementsAre("Cannot create directory 'C:\\Acme\\file'!"));
}

TEST_F(FileCommandsTest, RemoveDirectoryOnlyWhenEmpty) {
    fs::create_directories(host("C:\\Acme\\empty"));
    put("C:\\Acme\\full\\f.txt", "x");
    EXPECT_TRUE(run("RD", {"C:\\Acme\\empty"}));
    EXPECT_TRUE(run("RmDir", {"C:\\Acme\\full"}));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\empty")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\full\\f.txt")));
    EXPECT_THAT(ui_.numbers(), IsEmpty());
}

TEST_F(FileCommandsTest, RenameAndItsCounterpart) {
    put("C:\\Acme\\old.txt", "x");
    // A bare new name stays in the old file's directory.
    ASSERT_TRUE(run("Ren", {"C:\\Acme\\old.txt", "new.txt"}));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\new.txt")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\old.txt")));
    ASSERT_TRUE(undo("Rename", {"C:\\Acme\\old.txt", "new.txt"}));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\old.txt")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\new.txt")));
}

TEST_F(FileCommandsTest, RenameOverAnExistingOrBusyFileWaitsForTheRestart) {
    put("C:\\Acme\\old.txt", "old");
    put("C:\\Acme\\new.txt", "new");
    ASSERT_TRUE(run("Ren", {"C:\\Acme\\old.txt", "C:\\Acme\\new.txt"}));
    EXPECT_EQ(kestrel::test::readFile(host("C:\\Acme\\new.txt")), "new");  // untouched now
    ASSERT_EQ(inUse_.scheduled.size(), 1u);
    EXPECT_EQ(inUse_.scheduled[0].first, "C:\\Acme\\old.txt");
    EXPECT_EQ(inUse_.scheduled[0].second, "C:\\Acme\\new.txt");

    inUse_.busy.insert(host("C:\\Acme\\old.txt"));
    inUse_.scheduleAnswer = false;
    EXPECT_FALSE(run("Ren", {"C:\\Acme\\old.txt", "other.txt"}));
    EXPECT_THAT(messageTexts(),
                ElementsAre("Cannot rename source file 'C:\\Acme\\old.txt' to destination file "
                            "'C:\\Acme\\other.txt'!"));
}

TEST_F(FileCommandsTest, DeleteWithWildcards) {
    put("C:\\Acme\\a.tmp", "x");
    put("C:\\Acme\\b.TMP", "x");
    put("C:\\Acme\\c.txt", "x");
    ASSERT_TRUE(run("Erase", {"C:\\Acme\\*.tmp"}));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\a.tmp")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\b.TMP")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\c.txt")));
    EXPECT_FALSE(spec("Del").hasCounterpart);
}

TEST_F(FileCommandsTest, DeleteTreeTakesEverythingButWhatLinksPointTo) {
    const fs::path outside = dir_ / "outside";
    putHost(outside / "precious.txt", "keep");
    put("C:\\Acme\\tree\\sub\\f.txt", "x");
    fs::permissions(host("C:\\Acme\\tree\\sub"), fs::perms::owner_read | fs::perms::owner_exec);
    fs::create_directory_symlink(outside, host("C:\\Acme\\tree") / "link");

    ASSERT_TRUE(run("DelTree", {"C:\\Acme\\tree"}));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\tree")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme")));  // its parent stays
    EXPECT_EQ(kestrel::test::readFile(outside / "precious.txt"), "keep");
    EXPECT_TRUE(run("DelTree", {"C:\\Acme\\never-there"}));
    EXPECT_THAT(ui_.numbers(), IsEmpty());
}

TEST_F(FileCommandsTest, DeleteTreeRefusesWhatLiesBeyondAProductDirectory) {
    const fs::path outside = dir_ / "outside";
    putHost(outside / "precious.txt", "keep");
    fs::create_directories(outside / "sub");
    fs::create_directories(host("C:\\Acme"));
    fs::create_directory_symlink(outside, host("C:\\Acme") / "link");
    state_.currentDirectory = "C:\\Acme";
    const std::vector<std::string> refused = {
        "",                              // would be the current directory
        "\\",                            // the drive's root
        "C:\\",                          //
        "C:\\windows",                   // the root's own places
        "C:\\users",                     // holds the profiles
        machine_->windowsPath(outside),  // Z: leads out of the root
        "C:\\Acme\\link",                // a link
        "C:\\Acme\\link\\sub",           // through a link
    };
    for (const std::string& directory : refused) {
        ui_.shown.clear();
        EXPECT_FALSE(run("DelTree", {directory})) << directory;
        EXPECT_THAT(ui_.numbers(), ElementsAre(messages::kCannotDeleteDirectory)) << directory;
    }
    EXPECT_EQ(kestrel::test::readFile(outside / "precious.txt"), "keep");
    EXPECT_TRUE(fs::exists(host("C:\\windows\\system32")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme")));
}

}  // namespace
}  // namespace kestrel::setup::test
