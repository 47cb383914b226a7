#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "OtherUser.h"
#include "SampleBrowserFixture.h"
#include "platform/ShellLink.h"
#include "platform/WineDrives.h"
#include "workstation/DesktopShortcut.h"

namespace kestrel::browser::test {
namespace {

namespace fs = std::filesystem;

// lnkinfo's report of a link as key/value pairs ("Local path", "Command line arguments");
// empty when lnkinfo is missing or rejects the file.
std::map<std::string, std::string> lnkinfo(const fs::path& file) {
    std::map<std::string, std::string> fields;
    FILE* pipe = ::popen(("lnkinfo '" + file.string() + "' 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return fields;
    std::string out;
    char chunk[4096];
    while (const std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) out.append(chunk, n);
    if (::pclose(pipe) != 0) return fields;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        auto colon = line.find(": ");
        if (colon == std::string::npos) continue;
        std::string key = line.substr(0, colon);
        while (!key.empty() && (key.back() == '\t' || key.back() == ' ')) key.pop_back();
        while (!key.empty() && (key.front() == '\t' || key.front() == ' ')) key.erase(0, 1);
        fields[key] = line.substr(colon + 2);
    }
    return fields;
}

class DesktopShortcut : public SampleBrowserTest {
  protected:
    void SetUp() override {
        SampleBrowserTest::SetUp();
        logInAsDemo();
        openBrowser("OU=Sales.O=Acme");
        selectChild("WS17");
    }
    // Answers the shortcut dialog with OK and `function`, or none.
    void choose(std::optional<WorkstationFunction> function) {
        ui_.shortcut = [function](ShortcutDialogState& dialog) {
            EXPECT_FALSE(dialog.chosen.has_value());  // none chosen at first
            dialog.chosen = function;
            return true;
        };
    }

    fs::path start_ = madeFolder(root_ / "start folder");
    kestrel::test::ScopedCurrentDir inStart_{start_};
};

TEST_F(DesktopShortcut, EachFunctionGetsItsFolderProgramAndArguments) {
    const std::pair<WorkstationFunction, const char*> programs[] = {
        {WorkstationFunction::RemoteControl, "WVIEWNT.EXE"},
        {WorkstationFunction::RemoteView, "WVIEWNT.EXE"},
        {WorkstationFunction::FileTransfer, "DESKTOP.EXE"},
        {WorkstationFunction::RemoteExecute, "DESKTOP.EXE"},
        {WorkstationFunction::Chat, "DESKTOP.EXE"},
    };
    ASSERT_EQ(ShortcutDialogState::choices().size(), std::size(programs));
    std::vector<std::string> messages;
    for (const auto& [function, program] : programs) {
        const auto& info = workstationFunction(function);
        SCOPED_TRACE(info.button);
        choose(function);
        controller_->createShortcut();
        const fs::path file =
            world_.desktop() / "Z.E.N.works Shortcuts" / info.button / "WS17.Sales.Acme.lnk";
        const auto link = platform::readShellLink(file);
        ASSERT_TRUE(link.has_value()) << file;
        // Only target and arguments are set.
        platform::ShellLink expected;
        expected.target = platform::windowsPathOf(start_) + "\\" + program;
        expected.arguments =
            "-w\"WS17.Sales.Acme\" -n\"ACME_TREE\" -c\"" + std::string(info.word) + "\"";
        EXPECT_EQ(*link, expected);
        messages.push_back("A shortcut in folder 'Z.E.N.works Shortcuts\\" +
                           std::string(info.button) +
                           "' has been created for workstation 'WS17.Sales.Acme' on the Desktop!");
    }
    EXPECT_EQ(ui_.messages, messages);
}

TEST_F(DesktopShortcut, LnkinfoReadsTargetAndArguments) {
    choose(WorkstationFunction::RemoteControl);
    controller_->createShortcut();
    const fs::path file =
        world_.desktop() / "Z.E.N.works Shortcuts" / "Remote Control" / "WS17.Sales.Acme.lnk";
    ASSERT_TRUE(fs::exists(file));
    auto fields = lnkinfo(file);
    if (fields.empty()) GTEST_SKIP() << "lnkinfo (liblnk-utils) is not available";
    EXPECT_EQ(fields["Local path"], platform::windowsPathOf(start_) + "\\WVIEWNT.EXE");
    EXPECT_EQ(fields["Command line arguments"],
              R"(-w"WS17.Sales.Acme" -n"ACME_TREE" -c"Remote Control")");
    EXPECT_EQ(fields.count("Working directory"), 0u);
    EXPECT_EQ(fields.count("Description"), 0u);
}

TEST_F(DesktopShortcut, WithoutAFunctionOnlyTheFolderIsMade) {
    controller_->createShortcut();  // cancelled: nothing at all
    EXPECT_FALSE(fs::exists(world_.desktop()));
    choose(std::nullopt);
    controller_->createShortcut();
    EXPECT_EQ(ui_.shortcutDialogs, 2);
    ASSERT_TRUE(fs::is_directory(world_.desktop() / "Z.E.N.works Shortcuts"));
    EXPECT_TRUE(fs::is_empty(world_.desktop() / "Z.E.N.works Shortcuts"));
    EXPECT_TRUE(ui_.messages.empty());

    // Nor is the dialog offered for a container.
    selectChild("OU=East");
    controller_->createShortcut();
    EXPECT_EQ(ui_.shortcutDialogs, 2);
}

TEST_F(DesktopShortcut, ALinkThatCannotBeSavedSaysWhy) {
    // A file where the function's folder belongs.
    fs::create_directories(world_.desktop() / "Z.E.N.works Shortcuts");
    kestrel::test::writeFile(world_.desktop() / "Z.E.N.works Shortcuts" / "Chat", "in the way");
    choose(WorkstationFunction::Chat);
    controller_->createShortcut();
    EXPECT_EQ(ui_.messages, std::vector<std::string>{
                                "The shortcut 'WS17.Sales.Acme.lnk' couldn't be created in folder "
                                "'Z.E.N.works Shortcuts\\Chat' on the Desktop: Not a directory!"});
    EXPECT_TRUE(fs::is_regular_file(world_.desktop() / "Z.E.N.works Shortcuts" / "Chat"));
}

TEST_F(DesktopShortcut, AStartFolderThatIsGoneSaysWhy) {
    fs::remove(start_);  // still the current folder, but no longer there
    choose(WorkstationFunction::RemoteControl);
    controller_->createShortcut();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_TRUE(ui_.messages[0].starts_with(
        "The shortcut 'WS17.Sales.Acme.lnk' couldn't be created in folder "
        "'Z.E.N.works Shortcuts\\Remote Control' on the Desktop: the current folder cannot be "
        "read ("))
        << ui_.messages[0];
}

// Like everything the network tools keep for a user, the shortcuts and the folders made for
// them are that user's alone, whatever the umask.
TEST_F(DesktopShortcut, ShortcutsAndTheFoldersMadeForThemAreTheUsersAlone) {
    const mode_t saved = ::umask(0);
    choose(WorkstationFunction::Chat);
    controller_->createShortcut();
    ::umask(saved);
    const fs::path folder = world_.desktop() / "Z.E.N.works Shortcuts";
    const fs::path file = folder / "Chat" / "WS17.Sales.Acme.lnk";
    ASSERT_TRUE(fs::exists(file));
    for (const fs::path& made : {world_.desktop(), folder, folder / "Chat"})
        EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    std::string why;
    auto other = kestrel::test::OtherUser::create(&why);
    if (!other) GTEST_SKIP() << "modes checked; no second user reads them: " << why;
    kestrel::test::letOthersThrough(root_);
    ASSERT_TRUE(other->canRead(world_.profile()));
    EXPECT_FALSE(other->canRead(file));
    EXPECT_FALSE(other->canRead(folder));
}

// Workstations whose shortcut names come close to the longest file name (255 bytes) and
// beyond it: two bytes a character, so that the directory's name limits still hold.
class LongShortcutNames : public DesktopShortcut {
  protected:
    void SetUp() override {
        world_.useDirectory(
            kestrel::test::DirectoryBuilder::fromFile(kestrel::test::sampleDirectoryFile())
                .tree("ACME_TREE")
                .object("CN=" + longName(115) + ".OU=Sales.O=Acme", "Workstation")
                .object("CN=" + longName(128) + ".OU=Sales.O=Acme", "Workstation"),
            {.defaultTree = "ACME_TREE", .nameContext = "[Root]"});
        logInAsDemo();
        openBrowser("OU=Sales.O=Acme");
        choose(WorkstationFunction::RemoteControl);
    }
    static std::string longName(std::size_t characters) {
        std::string name;
        for (std::size_t i = 0; i < characters; ++i) name += "\xC3\xA9";  // e acute
        return name;
    }
    fs::path folder() const {
        return world_.desktop() / "Z.E.N.works Shortcuts" / "Remote Control";
    }
};

TEST_F(LongShortcutNames, NamesThatFitAreWrittenAndLongerOnesSayWhy) {
    const std::string fits = longName(115) + ".Sales.Acme.lnk";  // 245 bytes
    ASSERT_NE(selectChild(longName(115)), nullptr);
    controller_->createShortcut();
    EXPECT_TRUE(platform::readShellLink(folder() / fits).has_value());
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_TRUE(ui_.messages[0].starts_with("A shortcut in folder")) << ui_.messages[0];

    const std::string tooLong = longName(128) + ".Sales.Acme.lnk";  // 271 bytes
    ASSERT_NE(selectChild(longName(128)), nullptr);
    controller_->createShortcut();
    EXPECT_EQ(ui_.messages.back(),
              "The shortcut '" + tooLong +
                  "' couldn't be created in folder 'Z.E.N.works Shortcuts\\Remote Control' on "
                  "the Desktop: File name too long!");
    // Nothing is left behind but the one shortcut.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 1);
}

TEST_F(DesktopShortcut, WithoutUserProfileTheDesktopFolderOfTheUserIsUsed) {
    environment_.set("USERPROFILE", std::nullopt);
    choose(WorkstationFunction::RemoteView);
    controller_->createShortcut();
    EXPECT_TRUE(fs::exists(world_.home() / "Desktop" / "Z.E.N.works Shortcuts" / "Remote View" /
                           "WS17.Sales.Acme.lnk"));
    EXPECT_EQ(ui_.messages.size(), 1u);
}

TEST(ShortcutFileName, AddsTheExtensionOnceAndStaysInItsFolder) {
    EXPECT_EQ(shortcutFileName("WS17.Sales.Acme"), "WS17.Sales.Acme.lnk");
    EXPECT_EQ(shortcutFileName("WS1.lnk.Acme"), "WS1.lnk.Acme");
    EXPECT_EQ(shortcutFileName("WS1.LNK.Acme"), "WS1.LNK.Acme");
    EXPECT_EQ(shortcutFileName("WS1.lnkx"), "WS1.lnkx");
    EXPECT_EQ(shortcutFileName("WS1.ln.Acme"), "WS1.ln.Acme.lnk");
    EXPECT_EQ(shortcutFileName("../../etc/x.Acme"), ".._.._etc_x.Acme.lnk");
    EXPECT_EQ(shortcutFileName(R"(a\b)"), "a_b.lnk");
}

}  // namespace
}  // namespace kestrel::browser::test
