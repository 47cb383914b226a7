#include "platform/ProgramManager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "ExpectedMatchers.h"
#include "TestSupport.h"
#include "platform/EmptyFolders.h"
#include "platform/ShellLink.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using test::FailsWith;
using test::Succeeded;
using Kind = ProgramManagerError::Kind;

TEST(DdeCommands, SplitsCommandsAndArguments) {
    auto parsed = parseDdeCommands(
        " [CreateGroup(Acme Tools, acme.grp)] [ShowGroup(Acme Tools,1)][ExitProgman]"
        "[AddItem(\"C:\\Program Files (x86)\\a.exe /s \"\"x\"\"\",Name,,0,,,C:\\A,0,1)]");
    ASSERT_THAT(parsed, Succeeded());
    EXPECT_EQ(*parsed, (std::vector<DdeCommand>{
                           {"CreateGroup", {"Acme Tools", "acme.grp"}},
                           {"ShowGroup", {"Acme Tools", "1"}},
                           {"ExitProgman", {}},
                           {"AddItem",
                            {"C:\\Program Files (x86)\\a.exe /s \"x\"", "Name", "", "0", "", "",
                             "C:\\A", "0", "1"}},
                       }));
}

TEST(DdeCommands, ArgumentsComeBackThroughTheirQuoting) {
    for (const std::string text : {"plain", "", "a,b", "x (y)", "[z]", " lead", "trail ",
                                   "say \"hi\"", "C:\\Program Files (x86)\\a.exe"}) {
        const std::string quoted = ddeArgument(text);
        auto parsed = parseDdeCommands("[X(" + quoted + ",end)]");
        ASSERT_THAT(parsed, Succeeded()) << quoted;
        EXPECT_EQ(parsed->at(0).arguments, (std::vector<std::string>{text, "end"})) << quoted;
    }
    EXPECT_EQ(ddeArgument("Acme Tools"), "Acme Tools");  // blanks inside need nothing
}

TEST(DdeCommands, GarbageIsRefusedWithItsPlace) {
    EXPECT_THAT(parseDdeCommands(""), FailsWith("no command at position 0"));
    EXPECT_THAT(parseDdeCommands("CreateGroup(x)"), FailsWith("'[' expected at position 0"));
    EXPECT_THAT(parseDdeCommands("[CreateGroup(x]"),
                FailsWith("unexpected ']' in an argument at position 14"));
    EXPECT_THAT(parseDdeCommands("[A(\"open"), FailsWith("closing quote expected at position 8"));
    EXPECT_THAT(parseDdeCommands("[A(x)"), FailsWith("']' expected at position 5"));
    EXPECT_THAT(parseDdeCommands("[(x)]"), FailsWith("command name expected at position 1"));
    EXPECT_FALSE(parseDdeCommands(std::string("[A(\xff\x00\x01)]\x80", 9)).has_value());
}

class ProgramManagerTest : public ::testing::Test {
  protected:
    ProgramManagerTest() {
        auto root = MachineRoot::open(dir_ / "prefix", {"alice", dir_ / "servers"});
        if (!root) throw std::runtime_error(root.error());
        root_ = std::move(root.value());
        programs_ = *root_->hostPath(root_->shellFolder(ShellFolder::Programs, false));
        commonPrograms_ = *root_->hostPath(root_->shellFolder(ShellFolder::Programs, true));
        fs::create_directories(*root_->hostPath("C:\\Acme"));
        std::ofstream(*root_->hostPath("C:\\Acme\\edit.exe")) << "MZ";
        manager_ = std::make_unique<ProgramManager>(
            *root_,
            [](std::string_view name) -> std::optional<std::string> {
                if (name == "notepad.exe") return "C:\\windows\\notepad.exe";
                return std::nullopt;
            },
            [this](const fs::path& folder) { shown_.push_back(folder); });
    }
    Expected<void, ProgramManagerError> execute(std::string_view text) {
        return manager_->execute(text);
    }
    Kind failureKind(std::string_view text) {
        auto done = execute(text);
        EXPECT_FALSE(done.has_value()) << text;
        return done ? Kind::Failed : done.error().kind;
    }
    std::vector<std::string> entries(const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir_;
    std::unique_ptr<MachineRoot> root_;
    fs::path programs_, commonPrograms_;
    std::unique_ptr<ProgramManager> manager_;
    std::vector<fs::path> shown_;
};

TEST_F(ProgramManagerTest, GroupsAreFoldersOfLinksInTheProgramsFolder) {
    ASSERT_THAT(execute("[CreateGroup(Acme Tools,acme.grp)][ShowGroup(Acme Tools,1)]"
                        "[ReplaceItem(Editor)]"
                        "[AddItem(C:\\Acme\\edit.exe /s,Editor,C:\\Acme\\edit.exe,2,,,C:\\Acme,"
                        "1601,1)]"
                        "[AddItem(notepad.exe readme.txt)]"),
                Succeeded());
    EXPECT_EQ(shown_, std::vector<fs::path>{programs_ / "Acme Tools"});
    EXPECT_EQ(entries(programs_ / "Acme Tools"),
              (std::vector<std::string>{"Editor.lnk", "notepad.lnk"}));
    const auto editor = readShellLink(programs_ / "Acme Tools" / "Editor.lnk");
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->target, "C:\\Acme\\edit.exe");
    EXPECT_EQ(editor->arguments, "/s");
    EXPECT_EQ(editor->iconLocation, "C:\\Acme\\edit.exe");
    EXPECT_EQ(editor->iconIndex, 2);
    EXPECT_EQ(editor->workingDirectory, "C:\\Acme");
    EXPECT_EQ(editor->hotKey, 1601);
    EXPECT_EQ(editor->showCommand, ShowCommand::MinimizedNoActive);
    // A bare name is found through the search path; the item is named after it.
    const auto notepad = readShellLink(programs_ / "Acme Tools" / "notepad.lnk");
    ASSERT_TRUE(notepad);
    EXPECT_EQ(notepad->target, "C:\\windows\\notepad.exe");
    EXPECT_EQ(notepad->arguments, "readme.txt");
    EXPECT_EQ(notepad->showCommand, ShowCommand::Normal);

    // ReplaceItem takes the old one away; DeleteItem finds items of another case.
    ASSERT_THAT(execute("[ReplaceItem(EDITOR)][DeleteItem(Notepad)]"), Succeeded());
    EXPECT_TRUE(entries(programs_ / "Acme Tools").empty());
    EXPECT_EQ(failureKind("[DeleteItem(Editor)]"), Kind::NotFound);
    ASSERT_THAT(execute("[DeleteGroup(acme tools)]"), Succeeded());
    EXPECT_FALSE(fs::exists(programs_ / "Acme Tools"));
    EXPECT_EQ(failureKind("[ShowGroup(Acme Tools,1)]"), Kind::NotFound);
    // With the group gone no group is selected for items.
    EXPECT_EQ(failureKind("[AddItem(notepad.exe)]"), Kind::NotFound);
}

TEST_F(ProgramManagerTest, CommonGroupsAndNestedGroups) {
    ASSERT_THAT(execute("[CreateGroup(Acme,1)][AddItem(C:\\Acme\\edit.exe,Editor)]"), Succeeded());
    EXPECT_TRUE(fs::is_regular_file(commonPrograms_ / "Acme" / "Editor.lnk"));
    EXPECT_FALSE(fs::exists(programs_ / "Acme"));
    ASSERT_THAT(execute("[DeleteGroup(Acme,1)]"), Succeeded());
    EXPECT_FALSE(fs::exists(commonPrograms_ / "Acme"));

    // A path with blanks and no quotes: the shortest start that names a file is the program.
    fs::create_directories(*root_->hostPath("C:\\Program Files\\Acme"));
    std::ofstream(*root_->hostPath("C:\\Program Files\\Acme\\run me.exe")) << "MZ";
    ASSERT_THAT(execute("[CreateGroup(Acme\\Extras)]"
                        "[AddItem(C:\\Program Files\\Acme\\run me.exe /x y,Run)]"),
                Succeeded());
    const auto run = readShellLink(programs_ / "Acme" / "Extras" / "Run.lnk");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->target, "C:\\Program Files\\Acme\\run me.exe");
    EXPECT_EQ(run->arguments, "/x y");
    // Deleting the nested group leaves no empty parent behind, and the programs folder stays.
    ASSERT_THAT(execute("[DeleteGroup(Acme\\Extras)]"), Succeeded());
    EXPECT_FALSE(fs::exists(programs_ / "Acme"));
    EXPECT_TRUE(fs::is_directory(programs_));
}

TEST_F(ProgramManagerTest, AGroupThatIsNotThereLeavesNoGroupSelected) {
    ASSERT_THAT(execute("[CreateGroup(Acme)][AddItem(notepad.exe,Editor)]"), Succeeded());
    EXPECT_EQ(failureKind("[ShowGroup(Gone,1)]"), Kind::NotFound);
    // Not the item of the group selected before.
    EXPECT_EQ(failureKind("[DeleteItem(Editor)]"), Kind::NotFound);
    EXPECT_TRUE(fs::is_regular_file(programs_ / "Acme" / "Editor.lnk"));
    EXPECT_FALSE(manager_->groupIsEmpty("Acme"));
    EXPECT_FALSE(manager_->groupIsEmpty("Gone"));
}

TEST_F(ProgramManagerTest, NamesThatWouldLeaveTheProgramsFolderAreRefused) {
    fs::create_directories(*root_->hostPath("C:\\windows\\keep"));
    for (const char* text :
         {"[CreateGroup(..\\..\\..\\windows)]", "[DeleteGroup(..)]", "[CreateGroup(C:\\x)]",
          "[CreateGroup()]", "[CreateGroup(a\\\\b)]", "[CreateGroup(a/b)]", "[Frobnicate(x)]",
          "[CreateGroup(Acme)][AddItem(notepad.exe,..\\..\\evil)]", "[AddItem(,Name)]",
          "[CreateGroup(\"a\x01\")]"}) {
        EXPECT_EQ(failureKind(text), Kind::BadCommand) << text;
    }
    EXPECT_TRUE(fs::is_directory(*root_->hostPath("C:\\windows\\keep")));
    EXPECT_EQ(failureKind("[CreateGroup(" + std::string(300, 'x') + ")]"), Kind::Failed);
    // A string that does not parse executes nothing, not even its first commands.
    EXPECT_FALSE(execute("[CreateGroup(Half)][AddItem(").has_value());
    EXPECT_FALSE(fs::exists(programs_ / "Half"));
}

TEST(EmptyFolders, RemovesEmptyParentsUpToAKeptOrFilledFolder) {
    test::TempDir dir;
    fs::create_directories(dir / "keep/full/a/b/c");
    fs::create_directories(dir / "keep/other");
    std::ofstream(dir / "keep/full/file") << "x";
    removeEmptyFolders(dir / "keep/full/a/b/c/", {dir / "keep"});
    EXPECT_FALSE(fs::exists(dir / "keep/full/a"));
    EXPECT_TRUE(fs::exists(dir / "keep/full/file"));
    fs::remove(dir / "keep/full/file");
    removeEmptyFolders(dir / "keep/full", {dir / "keep"});
    EXPECT_FALSE(fs::exists(dir / "keep/full"));
    fs::remove(dir / "keep/other");
    removeEmptyFolders(dir / "keep/other", {dir.path() / "." / "keep"});
    EXPECT_TRUE(fs::is_directory(dir / "keep"));  // kept however it is named
    // A link to a folder is never followed or removed.
    fs::create_directory_symlink(dir / "keep", dir / "link");
    removeEmptyFolders(dir / "link", {});
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
}

}  // namespace
}  // namespace kestrel::platform
