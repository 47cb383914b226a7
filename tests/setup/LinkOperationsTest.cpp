#include <cstdio>
#include <fstream>

#include "MachineSnapshot.h"
#include "SetupFixture.h"
#include "ops/LinkLine.h"
#include "ops/LinkSections.h"
#include "ops/ProgmanCommands.h"
#include "platform/ShellLink.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;
using platform::ShellLink;
using platform::ShowCommand;

constexpr const char* kHead = "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n";
constexpr const char* kPrograms =
    "C:\\users\\alice\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";

class LinkOperations : public SetupFixture {
  protected:
    // A session over the script with the run's link services: bare names found in a search
    // path of C:\windows, folders "opened" into `opened_`, execute strings kept in `sent_`.
    SetupSession& loadLinks(const std::string& sections, const std::string& application = "") {
        SetupSession& session = load(std::string(kHead) + application + sections);
        services_ = std::make_unique<LinkServices>(
            *machine_,
            [this](std::string_view name) -> std::optional<std::string> {
                const std::string path = "C:\\windows\\" + std::string(name);
                if (fs::exists(host(path))) return path;
                return std::nullopt;
            },
            [this](const fs::path& folder) -> platform::Expected<void, std::string> {
                opened_.push_back(folder);
                return {};
            });
        services_->observeCommands([this](std::string_view text) { sent_.emplace_back(text); });
        return session;
    }
    bool run(std::string_view section, Direction direction) {
        return runSection(session_->context(), linkSections(session_->context(), *services_),
                          section, direction);
    }
    fs::path host(std::string_view windowsPath) { return *machine_->hostPath(windowsPath); }
    void makeFile(std::string_view windowsPath) {
        fs::create_directories(host(windowsPath).parent_path());
        std::ofstream(host(windowsPath)) << "MZ";
    }
    std::optional<ShellLink> link(std::string_view windowsPath) {
        return platform::readShellLink(host(windowsPath));
    }
    void setWindowsVersion(const char* version) {
        ASSERT_EQ(registry().createKey(platform::RegistryRoot::CurrentUser, "Software\\Wine"), 0);
        ASSERT_EQ(
            registry().setValue(platform::RegistryRoot::CurrentUser, "Software\\Wine", "Version",
                                platform::RegistryValue::text(platform::kRegSz, version)),
            0);
    }
    // Installs the section, lets `whileInstalled` look, uninstalls it: the root must be as
    // it was.
    ::testing::AssertionResult roundTrip(std::string_view section,
                                         const std::function<void()>& whileInstalled) {
        const MachineSnapshot before = MachineSnapshot::take(*machine_);
        if (!run(section, Direction::Install)) return ::testing::AssertionFailure() << "install";
        whileInstalled();
        if (!run(section, Direction::Uninstall)) {
            return ::testing::AssertionFailure() << "uninstall";
        }
        const std::string differences = before.differencesTo(MachineSnapshot::take(*machine_));
        if (differences.empty()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << differences;
    }

    std::unique_ptr<LinkServices> services_;
    std::vector<fs::path> opened_;
    std::vector<std::string> sent_;
};

TEST_F(LinkOperations, LineFieldsAndTheirDefaults) {
    loadLinks("");
    const Expander expander = session_->expander();
    LinkEntry all = parseLinkLine(
        "Tools\\Editor, %App%\\edit.exe ,/s,%App%\\Data,My editor,%App%\\icons.dll,3,7,1601",
        expander);
    EXPECT_EQ(all.scope, LinkScope::Other);
    EXPECT_EQ(all.location, "Tools\\Editor");
    EXPECT_EQ(all.target, "C:\\Acme\\edit.exe ");
    EXPECT_EQ(all.arguments, "/s");
    EXPECT_EQ(all.workingDirectory, "C:\\Acme\\Data");
    EXPECT_EQ(all.description, "My editor");
    EXPECT_EQ(all.iconFile, "C:\\Acme\\icons.dll");
    EXPECT_EQ(all.iconIndex, 3);
    EXPECT_EQ(all.showCommand, 7u);
    EXPECT_EQ(all.hotKey, 1601);

    const LinkEntry bare = parseLinkLine("%UserDesktop%\\Editor,edit.exe", expander);
    EXPECT_EQ(bare.scope, LinkScope::User);
    EXPECT_EQ(bare.arguments, "");
    EXPECT_FALSE(bare.iconIndex);
    EXPECT_FALSE(bare.showCommand);
    EXPECT_EQ(bare.hotKey, 0);

    // A quoted target keeps what follows it as its arguments, unless field 3 says otherwise.
    const LinkEntry quoted = parseLinkLine("%Common%X,\"%App%\\my edit.exe\" /s,", expander);
    EXPECT_EQ(quoted.scope, LinkScope::Common);
    EXPECT_EQ(quoted.target, "C:\\Acme\\my edit.exe");
    EXPECT_EQ(quoted.arguments, "/s");
    EXPECT_EQ(parseLinkLine("%App%\\X,\"C:\\a b.exe\" /s,/q", expander).arguments, "/q");
    EXPECT_EQ(parseLinkLine("%App%\\X,\"C:\\a b.exe\" /s,/q", expander).scope, LinkScope::App);
    EXPECT_EQ(parseLinkLine("X,\"C:\\no close", expander).target, "C:\\no close");

    EXPECT_EQ(linkFilePath("Tools\\Editor", "C:\\P"), "C:\\P\\Tools\\Editor.lnk");
    EXPECT_EQ(linkFilePath("Tools\\Old.PIF", "C:\\P"), "C:\\P\\Tools\\Old.PIF");
    EXPECT_EQ(linkFilePath("D:\\Links\\x.LNK", "C:\\P"), "D:\\Links\\x.LNK");
    EXPECT_EQ(linkFilePath("\\Links\\x.txt", "C:\\P"), "\\Links\\x.txt.lnk");
}

TEST_F(LinkOperations, PrefixRulesPerRunKind) {
    struct Case {
        const char* name;
        RunState run;
        bool user, common, appAsUser, appAsCommon, other;
    };
    const auto state = [](auto change) {
        RunState run;
        change(run);
        return run;
    };
    const Case cases[] = {
        {"plain", {}, true, true, true, true, true},
        {"admin", state([](RunState& r) { r.admin = true; }), false, false, false, false, true},
        {"workstation", state([](RunState& r) { r.workstation = true; }), false, true, false, true,
         true},
        {"per-user part", state([](RunState& r) { r.perUserPart = true; }), true, false, true,
         false, true},
        {"client", state([](RunState& r) { r.client = true; }), true, true, true, true, false},
        {"from CD", state([](RunState& r) { r.fromCD = true; }), true, true, true, true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(linkApplies(LinkScope::User, c.run, false), c.user) << c.name;
        EXPECT_EQ(linkApplies(LinkScope::Common, c.run, false), c.common) << c.name;
        EXPECT_EQ(linkApplies(LinkScope::App, c.run, false), c.appAsUser) << c.name;
        EXPECT_EQ(linkApplies(LinkScope::App, c.run, true), c.appAsCommon) << c.name;
        EXPECT_EQ(linkApplies(LinkScope::Other, c.run, false), c.other) << c.name;
    }
}

TEST_F(LinkOperations, EditorLinkInTheUsersProgramsRoundTrip) {
    loadLinks(
        "[Shell:Tools]\nCaption=Making links\nTools\\Editor,%App%\\edit.exe,,,Edits,,2\n"
        "; a comment\n");
    makeFile("C:\\Acme\\edit.exe");
    const std::string file = std::string(kPrograms) + "\\Tools\\Editor.lnk";
    const auto installed = [&] {
        const auto editor = link(file);
        ASSERT_TRUE(editor);
        EXPECT_EQ(editor->target, "C:\\Acme\\edit.exe");
        EXPECT_EQ(editor->workingDirectory, "C:\\Acme");
        EXPECT_EQ(editor->description, "Edits");
        EXPECT_EQ(editor->iconLocation, "C:\\Acme\\edit.exe");  // an index was given
        EXPECT_EQ(editor->iconIndex, 2);
        EXPECT_EQ(editor->showCommand, ShowCommand::Normal);
        const std::string out = kestrel::test::lnkinfoOutput(host(file));
        if (out.empty()) {
            std::cout << "lnkinfo (liblnk-utils) is not available: not read back with it\n";
            return;
        }
        for (const std::string expected :
             {"Local path\t\t\t: C:\\Acme\\edit.exe", "Working directory\t\t: C:\\Acme",
              "Description\t\t\t: Edits", "Icon location\t\t\t: C:\\Acme\\edit.exe"}) {
            EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << out;
        }
    };
    EXPECT_TRUE(roundTrip("Shell:Tools", installed));
    EXPECT_EQ(ui_.titles.front(), "Making links");
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(LinkOperations, TargetsFoundThroughTheSearchPathAndUnresolvableOnes) {
    loadLinks(
        "[Shell]\nNotes,notepad.exe,readme.txt,,,,1\nGone,%App%\\gone.exe\n"
        "Desk,%Windows%\nOld.pif,notepad.exe\n");
    makeFile("C:\\windows\\notepad.exe");
    const auto installed = [&] {
        const auto notes = link(std::string(kPrograms) + "\\Notes.lnk");
        ASSERT_TRUE(notes);
        EXPECT_EQ(notes->target, "C:\\windows\\notepad.exe");
        EXPECT_EQ(notes->arguments, "readme.txt");
        EXPECT_EQ(notes->workingDirectory, "C:\\windows");
        EXPECT_EQ(notes->iconLocation, "C:\\windows\\notepad.exe");
        // Not found, linked all the same: CreateUnresolvableShellLinks is on by default.
        const auto gone = link(std::string(kPrograms) + "\\Gone.lnk");
        ASSERT_TRUE(gone);
        EXPECT_EQ(gone->target, "C:\\Acme\\gone.exe");
        EXPECT_EQ(gone->workingDirectory, "");
        // A directory is taken as it is, without a working directory of its own.
        const auto desk = link(std::string(kPrograms) + "\\Desk.lnk");
        ASSERT_TRUE(desk);
        EXPECT_EQ(desk->target, "C:\\windows");
        EXPECT_EQ(desk->workingDirectory, "");
        EXPECT_TRUE(link(std::string(kPrograms) + "\\Old.pif"));
    };
    EXPECT_TRUE(roundTrip("Shell", installed));

    loadLinks("[Shell]\nTools\\Gone,%App%\\gone.exe\n", "CreateUnresolvableShellLinks=0\n");
    const MachineSnapshot before = MachineSnapshot::take(*machine_);
    ASSERT_TRUE(run("Shell", Direction::Install));
    // Left out, and no empty folder made for it.
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
}

TEST_F(LinkOperations, RemovalFallsBackToThePifOfTheSameName) {
    loadLinks("[Shell]\nTools\\Old,notepad.exe\n");
    ASSERT_TRUE(run("Shell", Direction::Install));
    const fs::path lnk = host(std::string(kPrograms) + "\\Tools\\Old.lnk");
    fs::rename(lnk, lnk.parent_path() / "Old.pif");
    ASSERT_TRUE(run("Shell", Direction::Uninstall));
    EXPECT_FALSE(fs::exists(lnk.parent_path()));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(LinkOperations, LinksOnTheDesktopLeaveTheShellFoldersInPlace) {
    loadLinks(
        "[Shell]\n%Desktop%\\Acme,%App%\\edit.exe\n%CommonStartup%\\Acme Agent,%App%\\a.exe\n");
    fs::remove_all(host("C:\\users\\alice\\Desktop"));
    fs::create_directories(host("C:\\users\\alice\\Desktop"));
    ASSERT_TRUE(run("Shell", Direction::Install));
    EXPECT_TRUE(link("C:\\users\\alice\\Desktop\\Acme.lnk"));
    EXPECT_TRUE(
        link("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\"
             "Acme Agent.lnk"));
    ASSERT_TRUE(run("Shell", Direction::Uninstall));
    // Empty now, and still there: a shell folder is no folder of ours.
    EXPECT_TRUE(fs::is_directory(host("C:\\users\\alice\\Desktop")));
    EXPECT_TRUE(fs::is_directory(
        host("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup")));
    EXPECT_FALSE(fs::exists(host("C:\\users\\alice\\Desktop\\Acme.lnk")));
}

TEST_F(LinkOperations, BadLinesGetTheMessageAndNothingElse) {
    // A line past the line length loses its end (here its target); a name cut to the field
    // length is still too long for a file name with ".lnk".
    loadLinks("[Shell]\nNo target\n,notepad.exe\nTools\\" + std::string(3000, 'n') +
              ",notepad.exe\n" + std::string(300, 'n') + ",notepad.exe\n" +
              std::string("\x01\xff\x80,,,,,,,,,,,,,,,,\n") + "Ok,notepad.exe\n");
    ui_.answer({5, 5, 5, 5, 5});
    ASSERT_TRUE(run("Shell", Direction::Install));
    EXPECT_EQ(ui_.numbers(), (std::vector<int>{5534, 5534, 5534, 5534, 5534}));
    EXPECT_NE(ui_.shown[3].box.text.find(std::string(255, 'n') + ".lnk'"), std::string::npos);
    EXPECT_NE(ui_.shown[0].box.text.find("Cannot create link 'No target'"), std::string::npos);
    EXPECT_TRUE(link(std::string(kPrograms) + "\\Ok.lnk"));

    // Cancel stops the section: the line after it is not made.
    ASSERT_TRUE(run("Shell", Direction::Uninstall));
    ui_.shown.clear();
    ui_.answer({2});
    EXPECT_FALSE(run("Shell", Direction::Install));
    EXPECT_EQ(ui_.numbers(), std::vector<int>{5534});
    EXPECT_FALSE(link(std::string(kPrograms) + "\\Ok.lnk"));
}

TEST_F(LinkOperations, AFolderThatCannotBeMadeFailsTheLine) {
    loadLinks("[Shell]\nBlocked\\Editor,notepad.exe\n");
    std::ofstream(host(std::string(kPrograms) + "\\Blocked")) << "a file, not a folder";
    EXPECT_FALSE(run("Shell", Direction::Install));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{5507});
    EXPECT_NE(ui_.shown[0].box.text.find(std::string("'") + kPrograms + "\\Blocked'"),
              std::string::npos);
}

TEST_F(LinkOperations, TheShellFolderIsShownOnceBeforeTheFirstLink) {
    const std::string sections = "[Shell:A]\nAcme\\One,notepad.exe\n[Shell:B]\nAcme\\Two,x.exe\n";
    loadLinks(sections, "ShowShellFolder=Acme\n");
    ASSERT_TRUE(
        processComponentLinks(session_->context(), *services_, {"A", "B"}, Direction::Install));
    EXPECT_EQ(opened_, std::vector<fs::path>{host(std::string(kPrograms) + "\\Acme")});

    loadLinks(sections, "ShowShellFolder=C:\\Shown\n");
    session_->run().silent = true;
    ASSERT_TRUE(run("Shell:A", Direction::Install));
    EXPECT_TRUE(opened_.size() == 1 && !fs::exists(host("C:\\Shown")));
    session_->run().silent = false;
    ASSERT_TRUE(run("Shell:A", Direction::Install));
    ASSERT_EQ(opened_.size(), 2u);
    EXPECT_TRUE(fs::is_directory(host("C:\\Shown")));  // made where it was missing
}

TEST_F(LinkOperations, SectionsOfComponentsAndTheirParents) {
    loadLinks(
        "[Shell:Main]\nMain,a.exe\n[Shell:<Main>]\nShared,b.exe\n[Shell:Main\\Own]\nOwn,c.exe\n"
        "[Progman.Main\\Own]\nGroup=X\n[Progman:<Main>]\nGroup=Y\n");
    const ScriptText& script = session_->script();
    EXPECT_EQ(findShellSection(script, "Main"), "Shell:Main");
    EXPECT_EQ(findShellSection(script, "Main\\Own"), "Shell:Main\\Own");
    EXPECT_EQ(findShellSection(script, "Main\\Other"), "Shell:<Main>");
    EXPECT_EQ(findShellSection(script, "Tools"), std::nullopt);
    EXPECT_EQ(findProgmanSection(script, "Main\\Own"), "Progman.Main\\Own");
    EXPECT_EQ(findProgmanSection(script, "Main\\Other"), "Progman:<Main>");
    EXPECT_EQ(findProgmanSection(script, "Main"), "Shell:Main");
    EXPECT_EQ(linkSectionKind("Progman:Main"), LinkSectionKind::Progman);
    EXPECT_EQ(linkSectionKind("Progman.Main"), LinkSectionKind::Progman);
    EXPECT_EQ(linkSectionKind("Shell:a:b"), LinkSectionKind::None);
    EXPECT_EQ(linkSectionKind("shell"), LinkSectionKind::Shell);

    // The shared section is worked once, however many children use it.
    ASSERT_TRUE(processComponentLinks(session_->context(), *services_,
                                      {"Main", "Main\\Other", "Main\\Third"}, Direction::Install));
    EXPECT_TRUE(link(std::string(kPrograms) + "\\Shared.lnk"));
    EXPECT_EQ(std::count(ui_.titles.begin(), ui_.titles.end(), "Working on program group"), 2);
}

TEST(ProgmanCommands, TextsAsTheProgramManagerGetsThem) {
    EXPECT_EQ(createGroupCommand("Acme Tools,acme.grp"), "[CreateGroup(Acme Tools,acme.grp)]");
    EXPECT_EQ(createGroupCommand("Acme"), "[CreateGroup(Acme)]");
    EXPECT_EQ(showGroupCommand("Acme"), "[ShowGroup(Acme,1)]");
    EXPECT_EQ(replaceItemCommand("Editor"), "[ReplaceItem(Editor)]");
    EXPECT_EQ(deleteItemCommand("Editor"), "[DeleteItem(Editor)]");
    EXPECT_EQ(deleteGroupCommand("Acme"), "[DeleteGroup(Acme)]");
    EXPECT_EQ(addItemCommand({"C:\\Acme\\edit.exe", "/s", "Editor", "C:\\Acme\\edit.exe", 2,
                              "C:\\Acme", 1601, true}),
              "[AddItem(C:\\Acme\\edit.exe /s,Editor,C:\\Acme\\edit.exe,2,,,C:\\Acme,1601,1)]");
    EXPECT_EQ(addItemCommand({"a.exe", "", "A", "", 0, "", 0, false}),
              "[AddItem(a.exe,A,,0,,,,0,0)]");
    // A name with a comma would split into two arguments: it goes in quotes.
    EXPECT_EQ(deleteItemCommand("Read me, first"), "[DeleteItem(\"Read me, first\")]");
    EXPECT_TRUE(isSystemGroup("main"));
    EXPECT_TRUE(isSystemGroup("Hauptgruppe"));
    EXPECT_FALSE(isSystemGroup("Main Tools"));
}

TEST_F(LinkOperations, ProgramManagerGroupsRoundTrip) {
    loadLinks(
        "[Progman:Tools]\nGroup=Acme Tools,acme.grp\nEditor,%App%\\edit.exe,/s,,,,2,7,1601\n"
        "Missing,%App%\\missing.exe\nReadme,notepad.exe,readme.txt\n"
        "Group = Accessories\nAcme Clock,%App%\\clock.exe\n");
    makeFile("C:\\Acme\\edit.exe");
    makeFile("C:\\Acme\\clock.exe");
    makeFile("C:\\windows\\notepad.exe");
    const auto installed = [&] {
        EXPECT_EQ(sent_, (std::vector<std::string>{
                             "[CreateGroup(Acme Tools,acme.grp)]",
                             "[ShowGroup(Acme Tools,1)]",
                             "[ReplaceItem(Editor)]",
                             "[AddItem(C:\\Acme\\edit.exe /s,Editor,C:\\Acme\\edit.exe,2,,,"
                             "C:\\Acme,1601,1)]",
                             "[ReplaceItem(Readme)]",
                             "[AddItem(C:\\windows\\notepad.exe readme.txt,Readme,,0,,,"
                             "C:\\windows,0,0)]",
                             "[CreateGroup(Accessories)]",
                             "[ShowGroup(Accessories,1)]",
                             "[ReplaceItem(Acme Clock)]",
                             "[AddItem(C:\\Acme\\clock.exe,Acme Clock,,0,,,C:\\Acme,0,0)]",
                         }));
        const auto editor = link(std::string(kPrograms) + "\\Acme Tools\\Editor.lnk");
        ASSERT_TRUE(editor);
        EXPECT_EQ(editor->showCommand, ShowCommand::MinimizedNoActive);
        EXPECT_TRUE(link(std::string(kPrograms) + "\\Accessories\\Acme Clock.lnk"));
        sent_.clear();
    };
    EXPECT_TRUE(roundTrip("Progman:Tools", installed));
    EXPECT_EQ(sent_, (std::vector<std::string>{
                         "[ShowGroup(Accessories,1)]",
                         "[DeleteItem(Acme Clock)]",
                         "[ShowGroup(Accessories,1)]",
                         "[DeleteGroup(Accessories)]",
                         "[ShowGroup(Acme Tools,1)]",
                         "[DeleteItem(Readme)]",
                         "[DeleteItem(Missing)]",
                         "[DeleteItem(Editor)]",
                         "[ShowGroup(Acme Tools,1)]",
                         "[DeleteGroup(Acme Tools)]",
                     }));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(LinkOperations, SystemGroupsAndOtherProductsItemsStay) {
    loadLinks(
        "[Progman]\nGroup=Main\nAcme,notepad.exe\nGroup=Accessories\nAcme Clock,notepad.exe\n");
    makeFile("C:\\windows\\notepad.exe");
    makeFile(std::string(kPrograms) + "\\Accessories\\Other.lnk");
    session_->run().silent = true;  // no ShowGroup when installing silently
    ASSERT_TRUE(run("Progman", Direction::Install));
    EXPECT_EQ(std::count_if(sent_.begin(), sent_.end(),
                            [](const std::string& s) { return s.starts_with("[ShowGroup"); }),
              0);
    sent_.clear();
    ASSERT_TRUE(run("Progman", Direction::Uninstall));
    EXPECT_EQ(sent_,
              (std::vector<std::string>{"[ShowGroup(Accessories,1)]", "[DeleteItem(Acme Clock)]",
                                        "[ShowGroup(Main,1)]", "[DeleteItem(Acme)]"}));
    EXPECT_TRUE(fs::is_directory(host(std::string(kPrograms) + "\\Main")));
    EXPECT_FALSE(fs::exists(host(std::string(kPrograms) + "\\Main\\Acme.lnk")));
    EXPECT_TRUE(fs::exists(host(std::string(kPrograms) + "\\Accessories\\Other.lnk")));
}

TEST_F(LinkOperations, OldRootsTurnShellLinksIntoProgramManagerItems) {
    setWindowsVersion("nt351");
    loadLinks(
        "[Shell:Tools]\nAcme\\Editor,%App%\\edit.exe\n%Programs%\\Acme\\Help,notepad.exe\n"
        "[Shell]\nIgnored,notepad.exe\n");
    makeFile("C:\\Acme\\edit.exe");
    ASSERT_TRUE(
        processComponentLinks(session_->context(), *services_, {"Tools"}, Direction::Install));
    EXPECT_EQ(sent_, (std::vector<std::string>{
                         "[CreateGroup(Acme)]", "[ShowGroup(Acme,1)]", "[ReplaceItem(Editor)]",
                         "[AddItem(C:\\Acme\\edit.exe,Editor,,0,,,C:\\Acme,0,0)]",
                         "[ReplaceItem(Help)]", "[AddItem(notepad.exe,Help,,0,,,,0,0)]"}));
    EXPECT_TRUE(link(std::string(kPrograms) + "\\Acme\\Editor.lnk"));
    // A plain Shell section is for the Explorer shell only.
    ASSERT_TRUE(run("Shell", Direction::Install));
    EXPECT_FALSE(fs::exists(host(std::string(kPrograms) + "\\Ignored.lnk")));
    ASSERT_TRUE(
        processComponentLinks(session_->context(), *services_, {"Tools"}, Direction::Uninstall));
    EXPECT_FALSE(fs::exists(host(std::string(kPrograms) + "\\Acme")));
}

TEST_F(LinkOperations, ProgramManagerFailuresAskIgnoreOrCancel) {
    loadLinks("[Progman]\nGroup=..\\..\\Escape\nItem,notepad.exe\n");
    ui_.answer({5, 5, 5, 5});
    ASSERT_TRUE(run("Progman", Direction::Install));
    ASSERT_FALSE(ui_.numbers().empty());
    EXPECT_EQ(ui_.numbers()[0], 5516);
    EXPECT_NE(ui_.shown[0].box.text.find(
                  "Cannot execute DDE command '[CreateGroup(..\\..\\Escape)]' of the program "
                  "manager!"),
              std::string::npos);
    ui_.shown.clear();
    ui_.answer({2});
    EXPECT_FALSE(run("Progman", Direction::Install));
    EXPECT_EQ(ui_.numbers(), std::vector<int>{5516});
}

}  // namespace
}  // namespace kestrel::setup::test
